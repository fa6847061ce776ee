// Guide files: case-blind paths, positioned line reading, the offset index and blocks,
// including the indexes a damaged data update can bring.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "PricingSupport.h"
#include "pricing/GuideFiles.h"
#include "pricing/GuideLines.h"
#include "pricing/PriceGuide.h"
#include "pricing/ResidualFiles.h"
#include "pricing/ResidualLookup.h"

namespace qv::pricing {
namespace {

using test::IndexBytes;
using test::TempFolder;

TEST(GuideFilePath, FindsTheFileWithoutRegardToCase) {
  TempFolder t;
  t.Write("cmanuf.txt", "x");
  t.Write("TType.TXT", "y");
  EXPECT_EQ(GuideFilePath(t.Folder(), "C", "MANUF.TXT"), t.File("cmanuf.txt"));
  EXPECT_EQ(GuideFilePath(t.Folder(), "T", "Type.txt"), t.File("TType.TXT"));
  // A missing file keeps the name it would have, so a message can name it.
  EXPECT_EQ(GuideFilePath(t.Folder(), "T", "Model.txt"), t.File("TModel.txt"));
}

TEST(OffsetIndex, ReadsLittleEndianSignedRecords) {
  TempFolder t;
  t.Write("i.ndx", IndexBytes({1, 0, 70000, -5}) + "\x01\x02");  // a partial record at the end
  OffsetIndex idx;
  ASSERT_TRUE(idx.Open(t.File("i.ndx")));
  EXPECT_EQ(idx.RecordCount(), 4);
  EXPECT_EQ(idx.Record(1), 1);
  EXPECT_EQ(idx.Record(2), 0);
  EXPECT_EQ(idx.Record(3), 70000);
  EXPECT_EQ(idx.Record(4), -5);
  EXPECT_EQ(idx.Record(5), std::nullopt);
  EXPECT_EQ(idx.Record(0), std::nullopt);
  EXPECT_EQ(idx.Record(-1), std::nullopt);
  EXPECT_EQ(IndexRecord(IndexBytes({7, 8}), 2), 8);
  EXPECT_EQ(IndexRecord("\x01\x00\x00", 1), std::nullopt);
}

TEST(GuideTextFile, ReadsLinesFromAnyByteWithoutTheirEnds) {
  TempFolder t;
  t.Write("t.txt", "first\r\nsecond\nthird");  // CR LF, a bare LF, no end on the last line
  GuideTextFile f;
  ASSERT_TRUE(f.Open(t.File("t.txt")));
  std::string l;
  ASSERT_TRUE(f.SeekTo(1));
  ASSERT_TRUE(f.ReadLine(l));
  EXPECT_EQ(l, "first");
  ASSERT_TRUE(f.ReadLine(l));
  EXPECT_EQ(l, "second");
  ASSERT_TRUE(f.ReadLine(l));
  EXPECT_EQ(l, "third");
  EXPECT_FALSE(f.ReadLine(l));
  ASSERT_TRUE(f.SeekTo(8));
  ASSERT_TRUE(f.ReadLine(l));
  EXPECT_EQ(l, "second");
  EXPECT_FALSE(f.SeekTo(0));
  EXPECT_FALSE(f.SeekTo(f.Size() + 1));
  EXPECT_FALSE(f.SeekTo(-3));
}

TEST(LocateBlock, TellsFoundNoneAndDamaged) {
  TempFolder t;
  const std::string text = "A|1|1\r\nB|2|2\r\n";  // 14 bytes
  t.Write("m.txt", text);
  t.Write("m.ndx", IndexBytes({1, 8, 0, -4, 15, 14}));
  GuideTextFile f;
  OffsetIndex idx;
  ASSERT_TRUE(f.Open(t.File("m.txt")));
  ASSERT_TRUE(idx.Open(t.File("m.ndx")));

  struct Case {
    int64_t k;
    BlockStart::Status status;
    int64_t pos;
  } cases[] = {
      {1, BlockStart::Status::Found, 1},    {2, BlockStart::Status::Found, 8},
      {3, BlockStart::Status::None, 0},     {4, BlockStart::Status::Damaged, 0},
      {5, BlockStart::Status::Damaged, 0},  {6, BlockStart::Status::Found, 14},
      {7, BlockStart::Status::Damaged, 0},  {0, BlockStart::Status::Damaged, 0},
  };
  for (const Case& c : cases) {
    const BlockStart b = LocateBlock(idx, f, c.k);
    EXPECT_EQ(b.status, c.status) << c.k;
    if (c.status == BlockStart::Status::Found) {
      EXPECT_EQ(b.pos, c.pos) << c.k;
    }
    if (c.status == BlockStart::Status::Damaged) {
      EXPECT_NE(b.message.find(t.File("m.ndx")), std::string::npos) << b.message;
    } else {
      EXPECT_TRUE(b.message.empty());
    }
  }
  EXPECT_EQ(LocateBlock(idx, f, 5).message, "The data file \"" + t.File("m.ndx") +
                                                "\" is damaged: entry 5 points to byte 15, outside \"" +
                                                t.File("m.txt") + "\".");
  EXPECT_EQ(LocateBlock(idx, f, 7).message,
            "The data file \"" + t.File("m.ndx") + "\" is damaged: it has no entry 7 (it holds 6).");
}

TEST(ReadBlock, TakesTheFirstLineUntestedAndStopsAtAnotherKey) {
  TempFolder t;
  const std::string text = "x|9|0\r\nA|2|1\r\nB|2|2\r\nC|3|3\r\nD|2|4\r\n";
  t.Write("m.txt", text);
  GuideTextFile f;
  ASSERT_TRUE(f.Open(t.File("m.txt")));
  auto key = [](const std::string& l) { return ModelLineKey(l); };
  bool ended = false;
  // From the first line: its key 9 is not tested, then A and B carry 2.
  EXPECT_EQ(ReadBlockAt(f, 1, 2, key, &ended), (std::vector<std::string>{"x|9|0", "A|2|1", "B|2|2"}));
  EXPECT_TRUE(ended);
  // The last block ends at the end of the file.
  EXPECT_EQ(ReadBlockAt(f, 29, 2, key, &ended), (std::vector<std::string>{"D|2|4"}));
  EXPECT_FALSE(ended);
  EXPECT_TRUE(ReadBlockAt(f, 99, 2, key, &ended).empty());

  EXPECT_EQ(ReadBlockFrom(text, 8, 2, key), (std::vector<std::string>{"A|2|1", "B|2|2"}));
  EXPECT_TRUE(ReadBlockFrom(text, 0, 2, key).empty());
  EXPECT_TRUE(ReadBlockFrom(text, 100, 2, key).empty());
}

TEST(Messages, NameTheFile) {
  EXPECT_EQ(MissingFileMessage("/p/CMANUF.TXT"), "The data file \"/p/CMANUF.TXT\" is missing or cannot be read.");
  EXPECT_EQ(DamagedFileMessage("/p/x.ndx", "why"), "The data file \"/p/x.ndx\" is damaged: why.");
}

TEST(GuideText, ReadsTheBytesAsWindows1252) {
  struct Case {
    std::string bytes, text;
  } cases[] = {
      {"V\xE9lmora", "V\xC3\xA9lmora"},                      // é
      {"\x80 \x99 \x9F", "\xE2\x82\xAC \xE2\x84\xA2 \xC5\xB8"},  // € ™ Ÿ
      {"\x81\xA0\xFF", "\xC2\x81\xC2\xA0\xC3\xBF"},          // unassigned 81, no-break blank, ÿ
      {"plain", "plain"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(GuideText(c.bytes), c.text) << c.bytes;
}

// A guide file far larger than any guide is refused before it is read, with the limit; a
// pipe in the place of a guide file is refused without waiting on it.
TEST(GuideListFiles, AFileTooLargeOrAPipeInTheirPlaceIsRefused) {
  TempFolder t;
  t.Write("CMANUF.TXT", "x");
  std::filesystem::resize_file(t.File("CMANUF.TXT"), std::uintmax_t(kMaxGuideFileBytes) + 1);  // sparse
  const VehicleList list = PriceGuide(t.Folder(), "C").ShowManufacturers(YearFilter{});
  EXPECT_TRUE(list.entries.empty());
  EXPECT_EQ(list.error, "The data file \"" + t.File("CMANUF.TXT") +
                            "\" is larger than 256 MB, the most that is read from such a file.");
  ASSERT_EQ(::mkfifo(t.File("ALG99.RV1").c_str(), 0600), 0);
  ResidualRecordFile records;
  EXPECT_FALSE(records.Open(t.File("ALG99.RV1")));
}

// An empty file or a folder in the place of the vehicle list or the residual maker list is
// named in a message, as the other guide files are, and the list is empty.
TEST(GuideListFiles, AnEmptyFileOrAFolderInTheirPlaceIsNamed) {
  for (const bool folder : {false, true}) {
    SCOPED_TRACE(folder ? "folder" : "empty file");
    TempFolder t;
    auto put = [&](const std::string& name) {
      if (folder) std::filesystem::create_directory(t.File(name));
      else t.Write(name, "");
    };
    auto expected = [&](const std::string& name) {
      return folder ? MissingFileMessage(t.File(name)) : EmptyFileMessage(t.File(name));
    };
    put("CMANUF.TXT");
    put("ALG99.DR1");
    put("CMajorSE.ndx");
    t.Write("CMajorSE.txt", "x\r\n");
    const VehicleList list = PriceGuide(t.Folder(), "C").ShowManufacturers(YearFilter{});
    EXPECT_TRUE(list.entries.empty());
    EXPECT_EQ(list.error, expected("CMANUF.TXT"));
    ResidualLookup look;
    std::string error;
    EXPECT_FALSE(look.Load(t.Folder(), "1999", error));
    EXPECT_EQ(error, expected("ALG99.DR1"));
    EXPECT_TRUE(look.ManufacturerTexts().empty());
    // An index file in the same state.
    PriceGuide(t.Folder(), "C").GetMajorSELine(1, &error);
    EXPECT_EQ(error, folder ? MissingFileMessage(t.File("CMajorSE.ndx"))
                            : DamagedFileMessage(t.File("CMajorSE.ndx"), "it has no entry 1 (it holds 0)"));
  }
  EXPECT_EQ(EmptyFileMessage("/p/CMANUF.TXT"), "The data file \"/p/CMANUF.TXT\" is damaged: it is empty.");
}

}  // namespace
}  // namespace qv::pricing
