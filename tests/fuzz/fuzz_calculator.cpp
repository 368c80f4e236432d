// The calculator on arbitrary expressions, as the dialogs pass them, over arbitrary registers.
#include "FuzzInput.h"
#include "core/Calculator.h"
#include "core/Register.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Register registers;
    static Calculator calculator(&registers);
    FuzzInput input(data, size);
    input.FillRegisters(registers);
    // The text as a line edit could hold it: UTF-8 or raw UTF-16 (lone surrogates too).
    const bool utf16 = input.Byte() & 1;
    const char* text = reinterpret_cast<const char*>(input.Rest());
    const int length = int(input.RestSize());
    calculator.expression = utf16 ? QString::fromUtf16(reinterpret_cast<const char16_t*>(text), length / 2)
                                  : QString::fromUtf8(text, length);
    calculator.Calculate();
    if (!calculator.valid) {
        // The span must select inside the text as typed.
        if (calculator.errorStart < 0 || calculator.errorStart > calculator.errorEnd
            || calculator.errorEnd > calculator.expression.size())
            __builtin_trap();
    }
    // The byte-string entry point on the same bytes, NUL-terminated.
    const QByteArray bytes(text, length);
    unsigned int value = 0;
    calculator.GetResult(bytes.constData(), &value);
    return 0;
}
