#ifndef ZENDRA_GDB_GDBPACKETREADER_H
#define ZENDRA_GDB_GDBPACKETREADER_H

#include <QByteArray>

// Splits what GDB sends into its messages: "$payload#xx" packets checked against their
// checksum, and the interrupt byte 0x03 between packets. Acknowledgements and stray bytes
// between packets are dropped. A payload longer than maximumPayload is not kept: it is
// reported as overlong once its end arrives, so that a client cannot make it grow.
class GdbPacketReader
{
public:
    static constexpr int maximumPayload = 0x4000;

    enum Kind { Packet, Interrupt, BadChecksum, Overlong };
    struct Message
    {
        Kind kind;
        QByteArray payload;
    };

    // Reads from data at *position up to the end of the next message: true with it in
    // message, or false once every byte is consumed (a partial packet is kept for later).
    bool Next(const QByteArray& data, int* position, Message* message);

private:
    enum State { Between, InPayload, FirstDigit, SecondDigit };

    State state = Between;
    QByteArray payload;
    bool overlong = false;
    unsigned int sum = 0;
    int expected = 0;
};

#endif
