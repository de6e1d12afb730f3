// krm map end to end: how the options, the profile and the defaults reach
// the site, every refusal with its message and exit status, and what stays
// on disk when a step fails. The bytes of the sites are the webmap tests'.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <regex>

#include "cli/krm_runner.h"
#include "support/test_support.h"

namespace kestrel {
namespace {

using test::RunKrm;
using Names = std::vector<std::string>;

constexpr const char* kDone = "変換終了    \n";
constexpr const char* kGoogleWarning =
    "google: version 2 of the Google Maps JavaScript API is no longer served, so the page will show no map; "
    "gsi and osm need no key\n";
constexpr const char* kFailed = "実行エラー\n";
constexpr const char* kTooFew = "Point数は2以上を指定して下さい\n";

// What the settings changed in a site.
struct SiteFacts {
  std::string title = "Sample GPS Data";
  std::string key = "hjhjh";
  std::string color = "ff0000";
  std::string width = "3";
  std::string opacity = "0.7";
  bool overview = true;
  std::string startButton = "trackLine()";  // empty: no replay, the button "消去"
  std::size_t points = 120;
  bool operator==(const SiteFacts&) const = default;
};

void PrintTo(const SiteFacts& f, std::ostream* os) {
  *os << "{" << f.title << ", " << f.key << ", #" << f.color << ", " << f.width << ", " << f.opacity << ", "
      << (f.overview ? "overview" : "no overview") << ", " << f.startButton << ", " << f.points << " points}";
}

std::string Match(const std::string& text, const std::string& pattern) {
  std::smatch match;
  return std::regex_search(text, match, std::regex(pattern)) ? match[1].str() : "?";
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

SiteFacts FactsOf(const std::string& page, const std::string& script) {
  SiteFacts facts;
  facts.title = Match(page, "<title>(.*)</title>");
  facts.key = Match(page, "&key=([^\"]*)\"");
  facts.color = Match(script, "var lineColor = \"#(.*)\";");
  facts.width = Match(script, "var lineWidth = (.*);");
  facts.opacity = Match(script, "var lineTrans = (.*);");
  facts.overview = Count(script, "GOverviewMapControl") == 1;
  const bool erase = Count(page, "onclick=\"routeOnOff(this)\"") == 1 && Count(script, "function eraseLine()") == 1;
  const bool tail = Count(page, "onclick=\"trackLine()\"") == 1;
  const bool draw = Count(page, "onclick=\"drawLine()\"") == 1;
  facts.startButton = erase && !tail && !draw ? "" : tail && !draw ? "trackLine()" : draw && !tail ? "drawLine()" : "?";
  facts.points = Count(script, "\tpoints.push(");
  return facts;
}

SiteFacts With(void (*change)(SiteFacts&)) {
  SiteFacts facts;
  change(facts);
  return facts;
}

// A folder holding a copy of one fixture, where krm runs.
class Workspace {
 public:
  // The fixture under its own name, or under the name given.
  explicit Workspace(const std::string& fixture, const std::string& name = "")
      : input_(name.empty() ? fixture.substr(fixture.rfind('/') + 1) : name) {
    test::WriteFileBytes(folder_.Path(input_), test::ReadFileBytes(test::DataPath(fixture)));
  }
  const std::string& Input() const { return input_; }
  std::string Path(const std::string& name) const { return folder_.Path(name); }
  Names Files() const { return folder_.Names(); }
  test::KrmRun Map(std::vector<std::string> args, const std::string& profile = "") const {
    args.insert(args.begin(), {"map", input_});
    if (!profile.empty()) {
      test::WriteFileBytes(folder_.Path("krm.ini"), profile);
      args.insert(args.end(), {"--profile", "krm.ini"});
    }
    return RunKrm(args, "Asia/Tokyo", folder_.Path());
  }

 private:
  test::TempDir folder_;
  std::string input_;
};

struct SettingsCase {
  const char* name;
  std::vector<std::string> args;
  std::string profile;  // GMap_Section lines, or empty for no --profile
  SiteFacts expected;
};

void PrintTo(const SettingsCase& c, std::ostream* os) { *os << c.name; }

class KrmMapSettings : public testing::TestWithParam<SettingsCase> {};

// On the map service, whose page holds the key too.
TEST_P(KrmMapSettings, ReachTheSite) {
  const SettingsCase& c = GetParam();
  const Workspace work("nmea/gga-only.log");
  std::vector<std::string> args = {"--service", "google"};
  args.insert(args.end(), c.args.begin(), c.args.end());
  const test::KrmRun run = work.Map(args, c.profile.empty() ? "" : "[GMap_Section]\r\n" + c.profile);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, std::string(kGoogleWarning) + kDone);
  EXPECT_EQ(run.out, "");
  Names expected = {"gga-only.css", "gga-only.html", "gga-only.js", "gga-only.log"};
  if (!c.profile.empty()) expected.push_back("krm.ini");
  EXPECT_EQ(work.Files(), expected);
  EXPECT_EQ(FactsOf(test::ReadFileBytes(work.Path("gga-only.html")), test::ReadFileBytes(work.Path("gga-only.js"))),
            c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Options, KrmMapSettings,
    testing::Values(
        SettingsCase{"Defaults", {}, "", SiteFacts{}},
        SettingsCase{"EveryOption",
                     {"--title", "Walk & talk", "--key", "K-1", "--color", "0080FF", "--width", "5", "--opaque",
                      "--no-replay", "--keep-trail", "--no-overview", "--rate", "50"},
                     "",
                     SiteFacts{"Walk &amp; talk", "K-1", "0080ff", "5", "1.0", false, "", 60}},
        // A repeated option: the last one wins, also between the two names of a switch.
        SettingsCase{"KeepTrailLast",
                     {"--no-trail", "--keep-trail", "--width", "1", "--points", "7"},
                     "",
                     With([](SiteFacts& f) {
                       f.startButton = "drawLine()";
                       f.width = "1";
                       f.points = 7;
                     })},
        // clang-format off
        SettingsCase{"LastWins",
                     {"--title", "a", "--title", "b", "--width", "2", "--width", "4",
                      "--opaque", "--transparent", "--no-replay", "--replay", "--keep-trail", "--no-trail",
                      "--no-overview", "--overview", "--color", "000000", "--color", "00ff00",
                      "--rate", "10", "--rate", "20", "--key", "x", "--key", ""},
                     "",
                     SiteFacts{"b", "hjhjh", "00ff00", "4", "0.7", true, "trackLine()", 24}},
        // clang-format on
        SettingsCase{"LastWinsTheOtherWay",
                     {"--transparent", "--opaque", "--replay", "--no-replay", "--overview", "--no-overview"},
                     "",
                     SiteFacts{"Sample GPS Data", "hjhjh", "ff0000", "3", "1.0", false, "", 120}},
        SettingsCase{"EmptyTitle", {"--title", ""}, "", With([](SiteFacts& f) { f.title = ""; })},
        SettingsCase{"Profile",
                     {},
                     "gmapapikey=PK\r\ngmaplinewidth=0\r\ngmaplinetrans=OFF\r\ngmaplinecolor_r=18\r\n"
                     "gmaplinecolor_g=52\r\ngmaplinecolor_b=86\r\ngmaptitle=鎌倉\r\ngmaproute=ON\r\ngmaptrack=ON\r\n"
                     "gmapoverview=OFF\r\ngmapsamename=OFF\r\n",
                     SiteFacts{"鎌倉", "PK", "123456", "5", "1.0", false, "drawLine()", 120}},
        SettingsCase{"ProfileReplayOff", {}, "gmaproute=OFF\r\ngmaptrack=ON\r\n", With([](SiteFacts& f) {
                       f.startButton = "";
                     })},
        // Only the exact texts "ON" and "OFF" count.
        SettingsCase{"ProfileLowerCase",
                     {},
                     "gmaplinetrans=off\r\ngmaproute=off\r\ngmaptrack=on\r\ngmapoverview=off\r\n",
                     SiteFacts{}},
        SettingsCase{"ProfileChannelMissing", {}, "gmaplinecolor_r=0\r\ngmaplinecolor_g=128\r\n", SiteFacts{}},
        SettingsCase{"ProfileWidthFive", {}, "gmaplinewidth=5\r\n", SiteFacts{}},
        // The options over the profile; a profile's "拡張子のみ変更" does not
        // matter, the name is derived without -o.
        SettingsCase{"OptionsOverProfile",
                     {"--transparent", "--replay", "--overview", "--title", "X", "--color", "0000ff", "--width", "3"},
                     "gmaplinetrans=OFF\r\ngmaproute=OFF\r\ngmapoverview=OFF\r\ngmaptitle=P\r\ngmaplinewidth=0\r\n"
                     "gmaplinecolor_r=1\r\ngmaplinecolor_g=2\r\ngmaplinecolor_b=3\r\ngmapsamename=OFF\r\n",
                     With([](SiteFacts& f) {
                       f.title = "X";
                       f.color = "0000ff";
                     })}),
    [](const testing::TestParamInfo<SettingsCase>& info) { return std::string(info.param.name); });

TEST(KrmMap, SmoothsWithTheOptionOrTheProfile) {
  const Workspace work("nmea/gga-only.log");
  ASSERT_EQ(work.Map({"-o", "plain.html"}).status, 0);
  ASSERT_EQ(work.Map({"-o", "option.html", "--smooth"}).status, 0);
  ASSERT_EQ(work.Map({"-o", "profile.html"}, "[GMap_Section]\r\ngmapsmoothing=ON\r\n").status, 0);
  ASSERT_EQ(work.Map({"-o", "lower.html"}, "[GMap_Section]\r\ngmapsmoothing=on\r\n").status, 0);
  const std::string plain = test::ReadFileBytes(work.Path("plain.js"));
  EXPECT_NE(test::ReadFileBytes(work.Path("option.js")), plain);
  EXPECT_EQ(test::ReadFileBytes(work.Path("profile.js")), test::ReadFileBytes(work.Path("option.js")));
  EXPECT_EQ(test::ReadFileBytes(work.Path("lower.js")), plain);
}

struct RefusalCase {
  const char* name;
  std::string fixture;
  std::vector<std::string> args;
  int status;
  std::string err;
  Names written;  // besides the input
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class KrmMapRefusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(KrmMapRefusal, ShowsTheMessageAndLeavesTheRestAlone) {
  const RefusalCase& c = GetParam();
  const Workspace work(c.fixture);
  const test::KrmRun run = work.Map(c.args);
  EXPECT_EQ(run.status, c.status);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, c.err);
  Names expected = c.written;
  expected.push_back(work.Input());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(work.Files(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, KrmMapRefusal,
    testing::Values(
        RefusalCase{"UsrWithoutTrail", "usr/names.usr", {}, 2, "ﾄﾚｲﾙ名を指定して下さい\n", {}},
        RefusalCase{"UnknownTrail", "usr/names.usr", {"--trail", "Nowhere"}, 1, "対象Trailが見付かりません\n", {}},
        RefusalCase{
            "NoPoints", "nmea/empty.log", {"--points", "abc"}, 1, "ﾄﾗｯｸﾌｧｲﾙの指定が誤りかTrailﾌｧｲﾙが未指定です\n", {}},
        RefusalCase{
            "TooManyPoints", "nmea/gga-only.log", {"--points", "121"}, 1, "Point数がﾄﾗｯｸﾃﾞｰﾀ内の数を越えてます\n", {}},
        RefusalCase{"OnePoint", "nmea/gga-only.log", {"--points", "1"}, 1, kTooFew, {}},
        RefusalCase{"NegativePoints", "nmea/gga-only.log", {"--points", "-5"}, 1, kTooFew, {}},
        RefusalCase{"LettersForPoints", "nmea/gga-only.log", {"--points", "abc"}, 1, kTooFew, {}},
        // Damaged lines skipped: the site of the rest, and exit 3.
        RefusalCase{"DamagedLines", "nmea/south-west.log", {"--service", "google"}, 3,
                    std::string("NMEAﾃﾞｰﾀの1行を読み飛ばしました\n") + kGoogleWarning + kDone,
                    {"south-west.css", "south-west.html", "south-west.js"}},
        // 20 points at 1 %: nothing to list. The page stays; no script, no style sheet.
        RefusalCase{"NoPointsToList", "usr/names.usr", {"--trail", "Run", "--rate", "1"}, 1, kFailed, {"names.html"}},
        // On map tiles too: Leaflet and the tile map script come after the script.
        RefusalCase{"NoPointsToListOnTiles",
                    "usr/names.usr",
                    {"--trail", "Run", "--rate", "1", "--service", "osm"},
                    1,
                    kFailed,
                    {"names.html"}},
        RefusalCase{"UnderAFile", "nmea/gga-only.log", {"-o", "gga-only.log/site.html"}, 1,
                    std::string(kFailed) + "  gga-only.log/site.html: Not a directory\n", {}},
        RefusalCase{"MissingFolder", "nmea/gga-only.log", {"-o", "missing/site.html"}, 1,
                    std::string(kFailed) + "  missing/site.html: No such file or directory\n", {}},
        RefusalCase{"FolderAsPage", "nmea/gga-only.log", {"-o", ".", "--force"}, 1,
                    std::string(kFailed) + "  .: Is a directory\n", {}},
        // A page named as the dialog would name it: the other files take its base name.
        RefusalCase{"NamedPage",
                    "nmea/gga-only.log",
                    {"-o", "picked.htm", "--rate", "5"},
                    0,
                    kDone,
                    {"picked.css", "picked.htm", "picked.js", "picked.leaflet.css", "picked.leaflet.js",
                     "picked.map.js"}},
        // A load that shows "Data Error!" goes on with the points read so far.
        RefusalCase{"DataError",
                    "usr/ends-inside-trail.usr",
                    {"--trail", "Short", "--service", "google"},
                    3,
                    std::string("Data Error!\n  ends-inside-trail.usr: the file ends inside point record 231 of 250\n") +
                        kGoogleWarning + kDone,
                    {"ends-inside-trail.css", "ends-inside-trail.html", "ends-inside-trail.js"}}),
    [](const testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

struct ServiceCase {
  std::vector<std::string> args;
  std::string profile;  // GMap_Section lines, or empty for no --profile
  const char* map;      // google, gsi or osm
};

// The map of a written site: the map service's script in the page, or the
// tiles of the tile map script beside it.
std::string MapOf(const Workspace& work) {
  const Names files = work.Files();
  const bool tiles = std::find(files.begin(), files.end(), "gga-only.map.js") != files.end();
  const std::string page = test::ReadFileBytes(work.Path("gga-only.html"));
  if (!tiles) return Count(page, "http://maps.google.com/maps?") == 1 ? "google" : "?";
  const std::string tileScript = test::ReadFileBytes(work.Path("gga-only.map.js"));
  if (Count(page, "src=\"gga-only.map.js\"") != 1) return "?";
  if (Count(tileScript, "https://cyberjapandata.gsi.go.jp/") == 1) return "gsi";
  if (Count(tileScript, "https://tile.openstreetmap.org/") == 1) return "osm";
  return "?";
}

TEST(KrmMap, DrawsOnTheMapOfTheOptionOrTheProfile) {
  const ServiceCase cases[] = {
      {{}, "", "gsi"},
      {{"--service", "google"}, "", "google"},
      {{"--service", "gsi"}, "", "gsi"},
      {{"--service", "osm"}, "", "osm"},
      // The last one wins.
      {{"--service", "osm", "--service", "gsi"}, "", "gsi"},
      {{"--service", "gsi", "--service", "google"}, "", "google"},
      {{}, "gmapservice=OSM\r\n", "osm"},
      {{}, "gmapservice=GSI\r\n", "gsi"},
      {{}, "gmapservice=GOOGLE\r\n", "google"},
      // Only the exact stored names count; anything else is the default.
      {{}, "gmapservice=osm\r\n", "gsi"},
      {{}, "gmapservice=TILES\r\n", "gsi"},
      {{}, "gmaptitle=Walk\r\n", "gsi"},
      // The option over the profile.
      {{"--service", "google"}, "gmapservice=OSM\r\n", "google"},
      {{"--service", "osm"}, "gmapservice=GSI\r\n", "osm"},
  };
  for (const ServiceCase& c : cases) {
    const Workspace work("nmea/gga-only.log");
    const test::KrmRun run = work.Map(c.args, c.profile.empty() ? "" : "[GMap_Section]\r\n" + c.profile);
    const std::string what = testing::PrintToString(c.args) + " " + c.profile;
    EXPECT_EQ(run.status, 0) << what;
    // The map service's page shows no map: said before the site is written.
    EXPECT_EQ(run.err, std::string(c.map) == "google" ? std::string(kGoogleWarning) + kDone : kDone) << what;
    EXPECT_EQ(MapOf(work), c.map) << what;
    Names expected = {"gga-only.css", "gga-only.html", "gga-only.js", "gga-only.log"};
    if (std::string(c.map) != "google") {
      expected.insert(expected.end(), {"gga-only.leaflet.css", "gga-only.leaflet.js", "gga-only.map.js"});
    }
    if (!c.profile.empty()) expected.push_back("krm.ini");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(work.Files(), expected) << what;
  }
}

// --open hands the written page to xdg-open (a stand-in on the PATH that
// notes what it is given); a failure to open is a message, and the site
// stays written.
TEST(KrmMap, OpenHandsTheWrittenPageToTheBrowser) {
  const test::TempDir bin;
  const struct PathOfTest {
    std::string old = std::getenv("PATH");
    ~PathOfTest() { setenv("PATH", old.c_str(), 1); }
  } path;
  ASSERT_EQ(setenv("PATH", (bin.Path() + ":" + path.old).c_str(), 1), 0);
  for (const int status : {0, 3}) {
    test::WriteFileBytes(bin.Path("xdg-open"),
                         "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.given\"\nexit " + std::to_string(status) + "\n");
    ASSERT_EQ(chmod(bin.Path("xdg-open").c_str(), 0755), 0);
    const Workspace work("nmea/gga-only.log");
    const test::KrmRun run = work.Map({"--open"});
    EXPECT_EQ(run.status, 0);
    const std::string failed =
        "the site was written, but the page could not be opened in a browser\n  xdg-open: exit status 3\n";
    EXPECT_EQ(run.err, std::string(kDone) + (status == 0 ? "" : failed));
    EXPECT_EQ(test::ReadFileBytes(bin.Path("xdg-open.given")),
              std::filesystem::canonical(work.Path("gga-only.html")).string() + "\n");
    EXPECT_EQ(work.Files().size(), 7u) << "the site of six files beside the track";
  }
}

TEST(KrmMap, ReplacesAnExistingPageOnlyWithForce) {
  const Workspace work("nmea/gga-only.log");
  for (const char* name : {"gga-only.html", "gga-only.js", "gga-only.css"})
    test::WriteFileBytes(work.Path(name), "old");
  const test::KrmRun refused = work.Map({});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "gga-only.htmlは既に存在します\n上書きしますか?\n");
  for (const char* name : {"gga-only.html", "gga-only.js", "gga-only.css"}) {
    EXPECT_EQ(test::ReadFileBytes(work.Path(name)), "old") << name;
  }
  const test::KrmRun forced = work.Map({"--force"});
  EXPECT_EQ(forced.status, 0);
  EXPECT_EQ(forced.err, kDone);
  for (const char* name : {"gga-only.html", "gga-only.js", "gga-only.css"}) {
    EXPECT_NE(test::ReadFileBytes(work.Path(name)), "old") << name;
  }

  // Only the page is asked about.
  std::filesystem::remove(work.Path("gga-only.html"));
  test::WriteFileBytes(work.Path("gga-only.js"), "old");
  const test::KrmRun unasked = work.Map({});
  EXPECT_EQ(unasked.status, 0);
  EXPECT_EQ(unasked.err, kDone);
  EXPECT_NE(test::ReadFileBytes(work.Path("gga-only.js")), "old");
}

// No file of the site may be the track file, not even with --force: a log
// named like the script, the style sheet or Leaflet's script stays as it was.
TEST(KrmMap, NoFileOfTheSiteIsTheTrackFile) {
  for (const std::string input : {"walk.js", "trk.css", "w.leaflet.js"}) {
    const Workspace work("nmea/gga-only.log", input);
    const test::KrmRun run = work.Map({"--format", "nmea", "--force"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "ERROR:出力ﾌｧｲﾙがﾄﾗｯｸﾌｧｲﾙと同じです\n  " + input + "\n");
    EXPECT_EQ(work.Files(), Names{input});
    EXPECT_EQ(test::ReadFileBytes(work.Path(input)), test::ReadFileBytes(test::DataPath("nmea/gga-only.log")));
  }
}

std::string PercentDecoded(const std::string& address) {
  std::string bytes;
  for (std::size_t i = 0; i < address.size(); ++i) {
    if (address[i] == '%' && i + 2 < address.size()) {
      bytes += static_cast<char>(std::stoi(address.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      bytes += address[i];
    }
  }
  return bytes;
}

// A file name that is not UTF-8: every file the page links to is a file
// written beside it.
TEST(KrmMap, TheLinksLeadToTheFilesWrittenWhateverTheirNames) {
  const Workspace work("nmea/gga-only.log", "\xFF\xFE walk.log");
  ASSERT_EQ(work.Map({}).status, 0);
  const std::string page = test::ReadFileBytes(work.Path("\xFF\xFE walk.html"));
  const Names files = work.Files();
  const std::regex link("(?:src|href)=\"([^\":]+)\"");
  std::size_t links = 0;
  for (auto it = std::sregex_iterator(page.begin(), page.end(), link); it != std::sregex_iterator(); ++it, ++links) {
    const std::string name = PercentDecoded((*it)[1].str());
    EXPECT_NE(std::find(files.begin(), files.end(), name), files.end()) << (*it)[1].str();
  }
  EXPECT_EQ(links, 5u);
}

TEST(KrmMap, WrongCommandLinesExitWithTwoAndWriteNothing) {
  const Workspace work("nmea/gga-only.log");
  const std::vector<std::vector<std::string>> cases = {
      {"--color", "12345"},  {"--color", "1234567"}, {"--color", "GG0000"},
      {"--color", "#ff000"}, {"--color", ""},        {"--color", "ff 000"},
      {"--width", "0"},      {"--width", "6"},       {"--width", "abc"},
      {"--width", "2.5"},    {"--rate", "0"},        {"--rate", "50", "--points", "5"},
      {"--title"},           {"--opaque=maybe"},     {"--profile", "missing.ini"},
      {"--format", "kml"},   {"--no-such-option"},   {"--service", "GSI"},
      {"--service", "gmaps"}, {"--service", ""},      {"--service"},
      {"--service", "osm", "--service", "mapbox"}, {"-o", "-"},
  };
  for (const std::vector<std::string>& args : cases) {
    const test::KrmRun run = work.Map(args);
    EXPECT_EQ(run.status, 2) << testing::PrintToString(args);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err, "");
    EXPECT_EQ(work.Files(), Names{"gga-only.log"}) << testing::PrintToString(args);
  }
}

}  // namespace
}  // namespace kestrel
