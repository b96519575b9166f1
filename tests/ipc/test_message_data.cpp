// The message container: byte-exact records, the name index, reading received
// blocks (also damaged ones) and the string hash behind the index.
#include <gtest/gtest.h>

#include <string>

#include "ipc/message_data.h"
#include "ipc/stream_storage.h"
#include "ipc/string_hash.h"
#include "platform/errors.h"
#include "support/bytes_equal.h"
#include "tests/ipc/memory_pipe.h"

namespace wb {
namespace {

using test::HexBytes;
using test::Record;
using test::Utf16Bytes;

std::string BytesOf(TStreamStorage& storage) {
  TMemoryStream& stream = storage.Stream();
  return std::string(reinterpret_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

// A storage filled as if the bytes had come from the pipe.
void Receive(TStreamStorage& storage, const std::string& bytes) {
  storage.Stream().WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  storage.Stream().SetPosition(0);
}

TEST(StreamStorageRecords, WorkedExamplesAreByteExact) {
  TStreamStorage integer;
  integer.WriteInteger(u"INDEX", -1);
  EXPECT_BYTES_EQ(BytesOf(integer),
                  HexBytes("0A 00 00 00 | 49 00 4E 00 44 00 45 00 58 00 | 04 00 00 00 00 00 00 00 | FF FF FF FF"));

  TStreamStorage boolean;
  boolean.WriteBoolean(u"SYNC", true);
  EXPECT_BYTES_EQ(BytesOf(boolean), HexBytes("08 00 00 00 | 53 00 59 00 4E 00 43 00 | 01 00 00 00 00 00 00 00 | 01"));

  TStreamStorage text;
  text.WriteString(u"DATA", u"ab");
  EXPECT_BYTES_EQ(BytesOf(text),
                  HexBytes("08 00 00 00 | 44 00 41 00 54 00 41 00 | 04 00 00 00 00 00 00 00 | 61 00 62 00"));
}

TEST(StreamStorageRecords, NonAsciiTextTravelsAsUtf16) {
  TStreamStorage storage;
  storage.WriteString(u"DATA", u"\u00e4\u20ac");  // ä and the euro sign
  EXPECT_BYTES_EQ(BytesOf(storage), Record("DATA", HexBytes("E4 00 AC 20")));
}

TEST(StreamStorageRecords, EmptyValuesAndNamesWriteNothing) {
  TStreamStorage storage;
  storage.WriteString(u"DATA", u"");
  storage.WriteString(u"", u"x");
  storage.WriteInteger(u"", 5);
  storage.WriteBoolean(u"", true);
  EXPECT_EQ(storage.Stream().Size(), 0);
  EXPECT_EQ(storage.ScanPosition(), 0);
  EXPECT_EQ(storage.ReadString(u"DATA"), u"");
}

TEST(StreamStorageRecords, DuplicateNameIsRefusedWhateverTheTypes) {
  struct Case {
    const char* label;
    void (*first)(TStreamStorage&);
    void (*second)(TStreamStorage&);
  } cases[] = {
      {"string then string", [](TStreamStorage& s) { s.WriteString(u"A", u"1"); },
       [](TStreamStorage& s) { s.WriteString(u"A", u"2"); }},
      {"integer then boolean", [](TStreamStorage& s) { s.WriteInteger(u"A", 1); },
       [](TStreamStorage& s) { s.WriteBoolean(u"A", true); }},
      {"boolean then string", [](TStreamStorage& s) { s.WriteBoolean(u"A", false); },
       [](TStreamStorage& s) { s.WriteString(u"A", u"x"); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TStreamStorage storage;
    c.first(storage);
    std::string before = BytesOf(storage);
    try {
      c.second(storage);
      ADD_FAILURE() << "no error";
    } catch (const Exception& error) {
      EXPECT_STREQ(error.what(), "Value with name \"A\" already exists");
    }
    EXPECT_BYTES_EQ(BytesOf(storage), before);
  }
}

TEST(StreamStorageIndex, WrittenBlockIsReadThroughTheIndex) {
  TStreamStorage storage;
  storage.WriteString(u"COMMAND", u"DBPATH");
  storage.WriteInteger(u"INDEX", -1);
  storage.WriteString(u"DATA", u"payload");
  storage.WriteBoolean(u"SYNC", true);
  const int64_t end = storage.Stream().Size();
  EXPECT_EQ(storage.ScanPosition(), end);
  EXPECT_EQ(storage.ReadString(u"DATA"), u"payload");
  EXPECT_EQ(storage.ReadString(u"COMMAND"), u"DBPATH");
  EXPECT_EQ(storage.ScanPosition(), end);  // nothing was scanned
}

TEST(StreamStorageIndex, ReceivedBlockIsScannedOnceThenIndexed) {
  TStreamStorage storage;
  Receive(storage, Record("COMMAND", Utf16Bytes("PRINT")) + Record("INDEX", HexBytes("FF FF FF FF")) +
                       Record("DATA", Utf16Bytes("{}")));
  const int64_t end = storage.Stream().Size();
  EXPECT_EQ(storage.ScanPosition(), 0);
  EXPECT_EQ(storage.ReadString(u"DATA"), u"{}");
  EXPECT_EQ(storage.ScanPosition(), end);
  EXPECT_EQ(storage.ReadString(u"COMMAND"), u"PRINT");  // from the index
  EXPECT_EQ(storage.ScanPosition(), end);
}

TEST(StreamStorageIndex, MissingNameLeavesTheBlockReadable) {
  TStreamStorage storage;
  Receive(storage, Record("COMMAND", Utf16Bytes("X")) + Record("DATA", Utf16Bytes("y")));
  EXPECT_EQ(storage.ReadString(u"NOPE"), u"");
  EXPECT_EQ(storage.ReadString(u"DATA"), u"y");
  EXPECT_EQ(storage.ReadString(u"COMMAND"), u"X");
}

TEST(StreamStorageIndex, NamesAreCaseSensitive) {
  TStreamStorage storage;
  Receive(storage, Record("Data", Utf16Bytes("lower")));
  EXPECT_EQ(storage.ReadString(u"DATA"), u"");
  EXPECT_EQ(storage.ReadString(u"Data"), u"lower");
}

TEST(StreamStorageIndex, WriterSeesNamesOfAReceivedBlockOnlyOnceScanned) {
  TStreamStorage storage;
  Receive(storage, Record("DATA", Utf16Bytes("v")));
  storage.ReadString(u"DATA");
  EXPECT_THROW(storage.WriteString(u"DATA", u"again"), Exception);
}

// Damaged blocks: whatever the bytes, only whole records are read and nothing
// outside the stream is touched (the sanitizer build checks the latter).
TEST(StreamStorageDamagedBlocks, OnlyWholeRecordsAreRead) {
  const std::string good = Record("A", Utf16Bytes("ok"));
  struct Case {
    const char* label;
    std::string tail;
  } cases[] = {
      {"name length cut short", HexBytes("08 00")},
      {"negative name length", test::Int32Bytes(-2) + Utf16Bytes("DATA")},
      {"odd name length", test::Int32Bytes(7) + Utf16Bytes("DATA")},
      {"name runs past the end", test::Int32Bytes(200) + Utf16Bytes("DATA")},
      {"value size cut short", test::Int32Bytes(8) + Utf16Bytes("DATA") + HexBytes("04 00 00")},
      {"negative value size", test::Int32Bytes(8) + Utf16Bytes("DATA") + test::Int64Bytes(-4) + Utf16Bytes("xy")},
      {"value runs past the end", test::Int32Bytes(8) + Utf16Bytes("DATA") + test::Int64Bytes(100) + Utf16Bytes("xy")},
      {"huge value size", test::Int32Bytes(8) + Utf16Bytes("DATA") + test::Int64Bytes(INT64_MAX) + Utf16Bytes("xy")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TStreamStorage storage;
    Receive(storage, good + c.tail);
    EXPECT_EQ(storage.ReadString(u"DATA"), u"");
    EXPECT_EQ(storage.ReadString(u"A"), u"ok");
    EXPECT_LE(storage.ScanPosition(), storage.Stream().Size());
  }
}

TEST(StreamStorageDamagedBlocks, OddStringSizeDoesNotMisalignTheNextRecord) {
  TStreamStorage storage;
  Receive(storage, Record("A", HexBytes("61 00 62")) + Record("B", Utf16Bytes("next")));
  EXPECT_EQ(storage.ReadString(u"A"), u"a");
  EXPECT_EQ(storage.ReadString(u"B"), u"next");
}

TEST(StringHash, HashOfIsTheElfHash) {
  TStringHash hash(50);
  EXPECT_EQ(hash.HashOf(""), 0u);
  EXPECT_EQ(hash.HashOf("A"), 0x41u);
  EXPECT_EQ(hash.HashOf("AB"), 0x452u);  // (0x41 << 4) + 0x42
  // Eight or more characters fold the top four bits back in.
  uint32_t h = 0;
  for (const char ch : std::string("COMMANDNAME_LONG")) {
    h = (h << 4) + static_cast<unsigned char>(ch);
    uint32_t g = h & 0xF0000000u;
    if (g) h ^= g >> 24;
    h &= ~g;
  }
  EXPECT_EQ(hash.HashOf("COMMANDNAME_LONG"), h);
  EXPECT_EQ(hash.HashOf("COMMANDNAME_LONG") & 0xF0000000u, 0u);
}

TEST(StringHash, NewestValueWinsAndClearEmpties) {
  TStringHash hash(3);
  EXPECT_EQ(hash.ValueOf("x"), -1);
  hash.Add("x", 1);
  hash.Add("y", 2);
  hash.Add("x", 3);
  EXPECT_EQ(hash.ValueOf("x"), 3);
  EXPECT_EQ(hash.ValueOf("y"), 2);
  EXPECT_EQ(hash.ValueOf("X"), -1);
  hash.Clear();
  EXPECT_EQ(hash.ValueOf("x"), -1);
}

TEST(StringHash, LongChainsAreFreedWithoutRecursion) {
  TStringHash hash(1);
  for (int i = 0; i < 200000; ++i) hash.Add("k" + std::to_string(i), i);
  EXPECT_EQ(hash.ValueOf("k199999"), 199999);
}  // the destructor frees the 200000-item chain

TEST(MessageData, NewMessageIsEmptyAndHeldOnce) {
  IMessageDataPtr message = CreateMessageData();
  EXPECT_EQ(message.use_count(), 1);
  EXPECT_EQ(message->GetID(), "");
  EXPECT_EQ(message->GetData().Stream().Size(), 0);
  message->SetID("REPLY");
  EXPECT_EQ(message->GetID(), "REPLY");
}

}  // namespace
}  // namespace wb
