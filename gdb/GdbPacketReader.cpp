#include "gdb/GdbPacketReader.h"

#include "core/Hex.h"

bool GdbPacketReader::Next(const QByteArray& data, int* position, Message* message)
{
    while (*position < data.size()) {
        const char c = data.at((*position)++);
        switch (state) {
        case Between:
            if (c == '$') {
                state = InPayload;
                payload.clear();
                overlong = false;
                sum = 0;
            } else if (c == '\x03') {
                message->kind = Interrupt;
                message->payload.clear();
                return true;
            }
            break;
        case InPayload:
            if (c == '#') {
                state = FirstDigit;
            } else if (c == '$') {
                // The rest of a packet was lost: this one starts afresh.
                payload.clear();
                overlong = false;
                sum = 0;
            } else {
                sum += static_cast<unsigned char>(c);
                if (payload.size() < maximumPayload)
                    payload.append(c);
                else
                    overlong = true;
            }
            break;
        case FirstDigit:
            expected = Hex::Digit(c);
            state = SecondDigit;
            break;
        case SecondDigit: {
            state = Between;
            const int low = Hex::Digit(c);
            if (overlong) {
                message->kind = Overlong;
                message->payload.clear();
            } else if (expected < 0 || low < 0 || unsigned(expected * 16 + low) != (sum & 0xFF)) {
                message->kind = BadChecksum;
                message->payload.clear();
            } else {
                message->kind = Packet;
                message->payload = payload;
            }
            payload.clear();
            return true;
        }
        }
    }
    return false;
}
