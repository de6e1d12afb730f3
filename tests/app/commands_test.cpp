// The two output commands as the pages run them: every message they can
// show, with its buttons and icon, in the order a person meets them.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "app/desktop.h"

namespace kestrel {
namespace {

using namespace test;

// How one page starts its command, and what differs between the two.
template <typename Page>
struct Command {
  Page& (Desktop::*page)();
  std::function<void(Desktop&)> run;
  const char* extension;  // of the derived name
  FileDialogRequest dialog;
  const char* writeFailed;
  bool offersBrowser;  // asks whether to open what it wrote (answered No here)
};

template <typename Page>
void ExpectEveryMessage(const Command<Page>& command) {
  const Shown done = MessageBox("変換終了    ", MessageIcon::Information);
  struct Case {
    const char* what;
    bool loaded;
    std::function<void(Desktop&, Page&)> prepare;
    ShownList shown;
  };
  const auto count = [](std::string text) {
    return [text](Desktop&, Page& page) {
      page.thinning.controls.usePointCount = true;
      page.thinning.controls.pointCountText = text;
    };
  };
  const auto derived = [](bool yes) {
    return [yes](Desktop& d, Page& page) {
      page.controls.sameName = true;
      d.shell.yesNoAnswers.push_back(yes);
    };
  };
  const auto saveAs = [](std::optional<std::string> name) {
    return [name](Desktop& d, Page&) {
      d.shell.fileAnswers.push_back(name ? std::optional(d.folder.Path(*name)) : std::nullopt);
    };
  };
  // The save dialog proposes the derived name.
  const Shown save{Kind::SaveDialog, "", MessageIcon::None, command.dialog};
  const std::string tooMany = "Point数がﾄﾗｯｸﾃﾞｰﾀ内の数を越えてます";
  const std::string tooFew = "Point数は2以上を指定して下さい";
  const Case cases[] = {
      // Nothing loaded: the first message, even with an unusable count.
      {"nothing loaded", false, count("abc"), {MessageBox("ﾄﾗｯｸﾌｧｲﾙの指定が誤りかTrailﾌｧｲﾙが未指定です")}},
      {"count above the track's", true, count("301"), {MessageBox(tooMany)}},
      {"count of one", true, count("1"), {MessageBox(tooFew)}},
      {"negative count", true, count("-5"), {MessageBox(tooFew)}},
      {"count without digits", true, count("abc"), {MessageBox(tooFew)}},
      {"derived name exists, No", true, derived(false), {Question("")}},
      {"derived name exists, Yes", true, derived(true), {Question(""), done}},
      {"save dialog cancelled", true, saveAs(std::nullopt), {save}},
      {"folder missing", true, saveAs("missing/out"), {save, MessageBox(command.writeFailed)}},
      {"written", true, saveAs("out"), {save, done}},
  };
  for (const Case& c : cases) {
    Desktop desktop;
    const std::string input = desktop.folder.Path("gga-rmc-noise.log");
    std::filesystem::copy_file(DataPath("nmea/gga-rmc-noise.log"), input);
    if (c.loaded) {
      desktop.SelectFormat(kNmea);
      desktop.OpenTrackFile(input);
    }
    // The derived name exists: the log's own name with the output's extension.
    const std::string derivedPath = desktop.folder.Path(std::string("gga-rmc-noise") + command.extension);
    WriteFileBytes(derivedPath, "");
    Page& page = (desktop.*command.page)();
    c.prepare(desktop, page);
    desktop.shell.shown.clear();
    ShownList expected = c.shown;
    for (Shown& shown : expected) {
      if (shown.kind == Kind::Question) shown.text = derivedPath + "は既に存在します\n上書きしますか?";
      if (shown.text == command.writeFailed) shown.detail = desktop.folder.Path("missing/out") + ": No such file or directory";
      if (shown.kind == Kind::SaveDialog && c.loaded) shown.dialog.initialFileName = derivedPath;
    }
    if (command.offersBrowser && expected.back() == done) {
      expected.push_back(Question("作成したページをブラウザで開きますか?"));
      desktop.shell.yesNoAnswers.push_back(false);
    }
    command.run(desktop);
    EXPECT_EQ(desktop.shell.shown, expected) << command.extension << ": " << c.what;
  }
}

TEST(OutputCommands, ShowEveryMessageWithItsButtonsAndIcon) {
  ExpectEveryMessage(Command<ConvertPage>{&Desktop::Convert, [](Desktop& d) { d.Window().OnConvert(d.shell); },
                                          ".csv", {"csv", "*.csv", "csvﾌｧｲﾙ(*.csv)|*.csv|全て(*.*)|*.*||"},
                                          "ERROR:出力ﾌｧｲﾙが開けません\n", false});
  ExpectEveryMessage(Command<MapPage>{&Desktop::Map, [](Desktop& d) { d.Window().OnMapOutput(d.shell, d.shell); },
                                      ".html", {"html", "*.html", "htmlﾌｧｲﾙ(*.html)|*.html|全て(*.*)|*.*||"},
                                      "実行エラー\n", true});
}

TEST(OutputCommands, TheConversionNeedsAFormatItCanWrite) {
  struct Case {
    std::string profile;
    std::string message;
  };
  // A stored usr type selects no entry of the list, which does not offer it.
  const Case cases[] = {{"", "ERROR:ﾃﾞｰﾀﾀｲﾌﾟが選択されてません\n"},
                        {"[DConv_Section]\ndconbfiletype=0\n", "ERROR:ﾃﾞｰﾀﾀｲﾌﾟが選択されてません\n"}};
  for (const Case& c : cases) {
    Desktop desktop(c.profile);
    desktop.SelectFormat(kNmea);
    desktop.OpenTrackFile(DataPath("nmea/gga-rmc-noise.log"));
    if (c.profile.empty()) desktop.Convert().controls.formatIndex = -1;
    desktop.Convert().controls.sameName = true;
    desktop.Window().OnConvert(desktop.shell);
    EXPECT_EQ(desktop.shell.shown.back(), MessageBox(c.message)) << c.profile;
  }
}

}  // namespace
}  // namespace kestrel
