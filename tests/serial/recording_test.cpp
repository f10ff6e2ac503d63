#include "serial/recording.h"

#include <gtest/gtest.h>

#include "serial/serial_device.h"

namespace korvane::serial {
namespace {

std::string AllBytes() {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    return bytes;
}

TRecordedEvent Valued(std::int64_t micros, RecordedKind kind, std::uint32_t value) {
    TRecordedEvent event;
    event.micros = micros;
    event.kind = kind;
    event.value = value;
    return event;
}

// Every kind of event, with awkward bytes, survives writing and reading unchanged.
TEST(Recording, EveryEventRoundTrips) {
    std::vector<TRecordedEvent> events;
    TRecordedEvent settings;
    settings.kind = RecordedKind::Settings;
    settings.settings = {115200, 7, Parity::Mark, StopBits::OneAndHalf};
    events.push_back(settings);
    events.push_back(Valued(1, RecordedKind::Dtr, 1));
    events.push_back(Valued(2, RecordedKind::Rts, 0));
    events.push_back(BytesEvent(1500000, RecordedKind::Sent, "*IDN?\r\n"));
    events.push_back(BytesEvent(1500001, RecordedKind::Received, "say \"hi\" \\ \t\x01\xff"));
    events.push_back(BytesEvent(2000000, RecordedKind::Received, AllBytes()));
    events.push_back(Valued(3000000, RecordedKind::Modem, kModemCts | kModemRlsd));
    events.push_back(Valued(3000001, RecordedKind::Modem, 0));
    events.push_back(Valued(3000002, RecordedKind::Pulse, kModemRing));
    events.push_back(Valued(123456789012345, RecordedKind::Error, kErrorFrame | kErrorParity));
    TRecordedEvent loose = BytesEvent(4, RecordedKind::Sent, "T=");
    loose.data.push_back({TDataPiece::Kind::Any, {}, 8});
    loose.data.push_back({TDataPiece::Kind::Until, "\r\n", 0});
    events.push_back(loose);

    const std::string text = FormatRecording(events);
    const TRecording read = ReadRecording(text);
    ASSERT_TRUE(read.Ok()) << read.error << "\n" << text;
    ASSERT_EQ(read.events.size(), events.size());
    for (std::size_t i = 0; i < events.size(); ++i) {
        SCOPED_TRACE(FormatEvent(events[i]));
        TRecordedEvent got = read.events[i];
        EXPECT_EQ(got.line, static_cast<int>(i) + 2);
        got.line = 0;
        EXPECT_EQ(got, events[i]);
    }
    EXPECT_EQ(FormatRecording(read.events), text);
}

TEST(Recording, ReadsWhatAPersonWrites) {
    const TRecording read = ReadRecording(
        "korvane-recording 1\r\n"
        "# the meter's answer carries its own clock\r\n"
        "\n"
        "   # indented comment\n"
        "0.5 sent \"MEAS?\" 0D\n"
        "0.75   received  \"12.5 V\" 0d 0a\n"
        "1 sent \"TIME \" any(8) until(0D 0A)\n"
        "2.000001 modem cts dsr\n"
        "3 modem none\n");
    ASSERT_TRUE(read.Ok()) << read.error;
    ASSERT_EQ(read.events.size(), 5u);
    EXPECT_EQ(read.events[0].micros, 500000);
    EXPECT_EQ(read.events[0].data,
              (std::vector<TDataPiece>{{TDataPiece::Kind::Bytes, "MEAS?\r", 0}}));
    EXPECT_EQ(read.events[0].line, 5);
    EXPECT_EQ(read.events[1].micros, 750000);
    EXPECT_EQ(read.events[1].data[0].bytes, "12.5 V\r\n");
    EXPECT_EQ(read.events[2].data, (std::vector<TDataPiece>{{TDataPiece::Kind::Bytes, "TIME ", 0},
                                                            {TDataPiece::Kind::Any, {}, 8},
                                                            {TDataPiece::Kind::Until, "\r\n", 0}}));
    EXPECT_EQ(read.events[3].micros, 2000001);
    EXPECT_EQ(read.events[3].value, kModemCts | kModemDsr);
    EXPECT_EQ(read.events[4].value, 0u);
}

TEST(Recording, MalformedTextIsRefusedWithLineAndReason) {
    const std::string head = "korvane-recording 1\n";
    const std::pair<std::string, std::string> cases[] = {
        {"", "line 1: not a Korvane recording (the first line must be \"korvane-recording 1\")"},
        {"KVR\n0 sent 41\n",
         "line 1: not a Korvane recording (the first line must be \"korvane-recording 1\")"},
        {"korvane-recording 2\n",
         "line 1: recording version \"2\" is not supported (this program reads version 1)"},
        {head + "0 snet 41\n", "line 2: unknown event kind \"snet\""},
        {head + "-1 sent 41\n", "line 2: bad time \"-1\" (expected seconds such as 1.250000)"},
        {head + "1.1234567 sent 41\n",
         "line 2: bad time \"1.1234567\" (expected seconds such as 1.250000)"},
        {head + "1. sent 41\n", "line 2: bad time \"1.\" (expected seconds such as 1.250000)"},
        {head + "0 sent\n", "line 2: a block needs at least one byte"},
        {head + "0 sent \"\"\n", "line 2: a block needs at least one byte"},
        {head + "0 sent \"abc\n", "line 2: text without its closing quote"},
        {head + "0 sent \"a\\qb\"\n", "line 2: unknown escape \\q"},
        {head + "0 sent \"\\x4\"\n", "line 2: \\x needs two hex digits"},
        {head + "0 sent 4G\n",
         "line 2: unreadable data at \"4G\" (expected \"text\", hex bytes such as 0D, any(N) or "
         "until(...))"},
        {head + "0 sent 414\n",
         "line 2: unreadable data at \"414\" (expected \"text\", hex bytes such as 0D, any(N) or "
         "until(...))"},
        {head + "0 sent any(0)\n", "line 2: any() needs a count from 1 to 16777216"},
        {head + "0 sent any(x)\n", "line 2: any() needs a count from 1 to 16777216"},
        {head + "0 sent until()\n", "line 2: until() needs the bytes it waits for"},
        {head + "0 sent until(0D\n", "line 2: missing ')'"},
        {head + "0 sent 41 )\n", "line 2: ')' without '('"},
        {head + "0 received any(3)\n", "line 2: any() and until() belong in sent blocks only"},
        {head + "0 settings 9600 8 x 1\n",
         "line 2: settings need BAUD DATABITS PARITY STOPBITS, e.g. 9600 8 n 1"},
        {head + "0 settings 9600 8 n 1 extra\n",
         "line 2: settings need BAUD DATABITS PARITY STOPBITS, e.g. 9600 8 n 1"},
        {head + "0 dtr 2\n", "line 2: a line level is 0 or 1"},
        {head + "0 modem cts none\n", "line 2: unknown name \"none\""},
        {head + "0 modem\n", "line 2: names expected"},
        {head + "0 pulse none\n", "line 2: unknown name \"none\""},
        {head + "0 error frame oops\n", "line 2: unknown name \"oops\""},
        {head + "0 sent 41\n0 sent \"\x01\"\n",
         "line 3: control byte in quoted text (write it as \\xHH)"},
    };
    for (const auto& [text, error] : cases) {
        SCOPED_TRACE(text);
        const TRecording read = ReadRecording(text);
        EXPECT_EQ(read.error, error);
        EXPECT_TRUE(read.events.empty());
    }
}

TEST(Recording, DescribesBlocksAsHex) {
    EXPECT_EQ(HexBytes(std::string("*\r\0\xff", 4)), "2A 0D 00 FF");
    TRecordedEvent event = BytesEvent(0, RecordedKind::Sent, "T");
    event.data.push_back({TDataPiece::Kind::Any, {}, 3});
    event.data.push_back({TDataPiece::Kind::Until, "\n", 0});
    EXPECT_EQ(DescribePieces(event.data), "54 any(3) until(0A)");
}

}  // namespace
}  // namespace korvane::serial
