// The fixed texts of the map site: their sizes in lines and UTF-8 bytes (one
// byte per line end), and how they are filled.

#include "webmap/site_templates.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "platform/text_encoding.h"
#include "webmap/template_text.h"
#include "webmap/tile_templates.h"

namespace kestrel {
namespace {

struct BlockSize {
  const char* name;
  std::string block;
  std::size_t lines;
  std::size_t bytes;  // 0: not counted
};

void PrintTo(const BlockSize& b, std::ostream* os) { *os << b.name; }

class TemplateSize : public testing::TestWithParam<BlockSize> {};

TEST_P(TemplateSize, HasItsLinesAndBytes) {
  const BlockSize& b = GetParam();
  EXPECT_EQ(static_cast<std::size_t>(std::count(b.block.begin(), b.block.end(), '\n')), b.lines);
  ASSERT_FALSE(b.block.empty());
  EXPECT_EQ(b.block.back(), '\n') << "every line ends with its line end";
  EXPECT_EQ(b.block.find('\r'), std::string::npos) << "CR LF is the output's business";
  if (b.bytes != 0) {
    EXPECT_EQ(b.block.size(), b.bytes);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, TemplateSize,
    testing::Values(BlockSize{"PageHead", std::string(kPageHead), 17, 0},
                    BlockSize{"PageBodyWithReplay", std::string(kPageBodyWithReplay), 26, 0},
                    BlockSize{"PageBodyWithoutReplay", std::string(kPageBodyWithoutReplay), 15, 0},
                    BlockSize{"ScriptHeader", std::string(kScriptHeader), 3, 138},
                    BlockSize{"ScriptGlobals", std::string(kScriptGlobals), 21, 602},
                    BlockSize{"ScriptParameters", std::string(kScriptParameters), 7, 0},
                    BlockSize{"SetMap", std::string(kSetMapFunction), 17, 478},
                    BlockSize{"SetMapWithoutOverview", WithoutLine(kSetMapFunction, kOverviewControlLine), 16, 434},
                    BlockSize{"DisplayLine", std::string(kDisplayLineFunction), 8, 177},
                    BlockSize{"TrackLine", std::string(kTrackLineFunction), 28, 541},
                    BlockSize{"DisplayTailLine", std::string(kDisplayTailLineFunction), 33, 655},
                    BlockSize{"DrawLine", std::string(kDrawLineFunction), 30, 595},
                    BlockSize{"DisplayDivDrawLine", std::string(kDisplayDivDrawLineFunction), 40, 1228},
                    BlockSize{"DrawLineSetting", std::string(kDrawLineSettingFunction), 25, 653},
                    BlockSize{"StopRoute", std::string(kStopRouteFunction), 57, 849},
                    BlockSize{"TrackEndProcess", std::string(kTrackEndProcessFunction), 12, 301},
                    BlockSize{"DrawEndProcess", std::string(kDrawEndProcessFunction), 18, 372},
                    BlockSize{"SetStepUnit", std::string(kSetStepUnitFunction), 9, 0},
                    BlockSize{"RestoreLine", std::string(kRestoreLineFunction), 13, 0},
                    BlockSize{"SplitAtBreaks", std::string(kSplitAtBreaksFunction), 34, 0},
                    BlockSize{"RouteOnOff", std::string(kRouteOnOffFunction), 20, 347},
                    BlockSize{"EraseLine", std::string(kEraseLineFunction), 5, 96},
                    BlockSize{"StyleSheet", std::string(kStyleSheet), 33, 528},
                    BlockSize{"TilePageHead", std::string(kTilePageHead), 20, 0}),
    [](const testing::TestParamInfo<BlockSize>& info) { return std::string(info.param.name); });

// The blocks without a byte count: the characters that a look-alike would
// replace unseen.
TEST(Templates, HoldTheWideCharactersWhereTheyBelong) {
  EXPECT_NE(kScriptHeader.find("/* Google Maps表示用\u3000JavaScriptファイル */\n"), std::string_view::npos);
  EXPECT_NE(kStyleSheet.find("/* Google Maps表示用\u3000StyeSheetファイル */\n"), std::string_view::npos);
  EXPECT_NE(kPageBodyWithReplay.find("\n&nbsp;&nbsp;&nbsp;スピード\uFF1A\n"), std::string_view::npos);
  // The style sheet is also counted in code page 932, where the wide
  // characters take two bytes each.
  EXPECT_EQ(Utf8ToCp932(kStyleSheet).size(), 511u);
}

TEST(FillTemplate, InsertsEachValueOnceAndNeverRescans) {
  EXPECT_EQ(FillTemplate("<title>«title»</title>«title»", {{"title", "a «base name» b"}}),
            "<title>a «base name» b</title>a «base name» b");
  EXPECT_EQ(FillTemplate("x«a»«b»y", {{"a", "1"}, {"b", ""}}), "x1y");
  EXPECT_EQ(FillTemplate("no marks", {}), "no marks");
  EXPECT_THROW(FillTemplate("«unknown»", {{"title", "t"}}), std::logic_error);
}

TEST(WithoutLine, RemovesTheLineWithItsLineEnd) {
  const std::string body = WithoutLine(kPageBodyWithReplay, kDrawReplayButton);
  EXPECT_EQ(body.size(), kPageBodyWithReplay.size() - kDrawReplayButton.size());
  EXPECT_EQ(body.find("drawLine()"), std::string::npos);
  EXPECT_NE(body.find(kTailReplayButton), std::string::npos);
  EXPECT_EQ(WithoutLine("a\nb\n", "c\n"), "a\nb\n");
}

TEST(EscapeHtml, EscapesTheFourMarkupCharactersOnly) {
  const std::pair<std::string, std::string> cases[] = {
      {"Sample GPS Data", "Sample GPS Data"},
      {"Tom & Jerry", "Tom &amp; Jerry"},
      {"<script>alert(\"x\")</script>", "&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;"},
      {"it's 鎌倉\u3000'", "it's 鎌倉\u3000'"},
      {"&amp;", "&amp;amp;"},
      {"", ""},
      {std::string("\xff\x00z", 3), std::string("\xff\x00z", 3)},
  };
  for (const auto& [text, escaped] : cases) EXPECT_EQ(EscapeHtml(text), escaped) << text;
}

// What the browser would read otherwise is encoded; what the address allows
// stays, and '&' is then escaped for the page.
TEST(FileLinkText, EncodesForTheAddressThenEscapesForThePage) {
  const std::pair<std::string, std::string> cases[] = {
      {"track", "track"},
      {"run #2 50%", "run%20%232%2050%25"},
      {"a?b\tc\\d:e/f\"g<h>", "a%3Fb%09c%5Cd%3Ae%2Ff%22g%3Ch%3E"},
      {"Tom & Jerry's (1)+2=3;@~", "Tom%20&amp;%20Jerry's%20(1)+2=3;@~"},
      {"鎌倉", "%E9%8E%8C%E5%80%89"},
  };
  for (const auto& [name, link] : cases) EXPECT_EQ(FileLinkText(name), link) << name;
}

}  // namespace
}  // namespace kestrel
