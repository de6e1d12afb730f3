#pragma once
// The fixed texts of the map site: the page's head and its two bodies, the
// blocks of the script and the style sheet. Each constant is one piece of a
// file as it is written, line by line, with "\n" for every line end (the
// output stores it as CR LF) and "\t" for every tab; blanks at the end of a
// line are part of the text.
//
// The texts are UTF-8, as the files declare and as all text inside the
// program is, so they are written as they stand and never pass through
// ConvertToUtf8, which reads code page 932 and would garble them. Nothing of
// the site comes from a code page 932 source: the title and the key are UTF-8
// too (the profile reader converts a value stored in code page 932).
//
// A name in «» marks where the writer inserts a value (FillTemplate).

#include <string_view>

namespace kestrel {

// One source line for each line of a file, never split.
// clang-format off

// ---------------------------------------------------------------- the page

// The configured addresses of the page.
inline constexpr std::string_view kXhtmlStrictSystemId = "http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd";
inline constexpr std::string_view kXhtmlNamespace = "http://www.w3.org/1999/xhtml";
inline constexpr std::string_view kMapService = "http://maps.google.com";
inline constexpr std::string_view kHomePageAddress = KRM_HOME_PAGE;

// The key parameter of the map service's script when no API key is set.
inline constexpr std::string_view kApiKeyPlaceholder = "hjhjh";

inline constexpr std::string_view kPageHead =
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" \"«XHTML 1.0 Strict system identifier»\">\n"
    "<html xmlns=\"«XHTML namespace name»\" xml:lang=\"ja\" lang=\"ja\">\n"
    "\n"
    "<head>\n"
    "\n"
    "<meta http-equiv=\"content-type\" content=\"text/html; charset=UTF-8\" />\n"
    "<meta http-equiv=\"content-script-type\" content=\"text/javascript\" />\n"
    "<meta http-equiv=\"content-style-type\" content=\"text/css\" />\n"
    "\n"
    "<link rel=\"stylesheet\" type=\"text/css\" href=\"«base name».css\" />\n"
    "\n"
    "<title>«title»</title>\n"
    "\n"
    "<script src=\"«map service»/maps?file=api&v=1&key=«API key»\" type=\"text/javascript\"></script>\n"
    "<script type=\"text/javascript\" src=\"«base name».js\"></script>\n"
    "\n"
    "</head>\n";

// The body with route replay holds both start buttons; the page keeps the
// one of the trail option.
inline constexpr std::string_view kPageBodyWithReplay =
    "<body onload=\"setMap()\" onunload=\"GUnload()\">\n"
    "\n"
    "<div id=\"map\"></div>\n"
    "\n"
    "<div id=\"panel\">\n"
    "<span id=\"controler\">\n"
    "<input type=\"button\" value=\"描画開始\" onclick=\"trackLine()\" />\n"
    "<input type=\"button\" value=\"描画開始\" onclick=\"drawLine()\" />\n"
    "<input type=\"button\" value=\"停止\" onclick=\"stopRoute(this)\" />\n"
    "\n"
    "&nbsp;&nbsp;&nbsp;スピード：\n"
    "<select id=\"Speed\" class=\"play\">\n"
    "\t<option value=\"32\">超高速</option>\n"
    "\t<option value=\"64\">高速</option>\n"
    "\t<option value=\"96\" selected=\"selected\">標準</option>\n"
    "\t<option value=\"128\">低速</option>\n"
    "\t<option value=\"160\">超低速</option>\n"
    "</select>\n"
    "</span>\n"
    "<span id=\"tool\">gererated by <a href=\"«home page address»\">KRM</a></span>\n"
    "</div>\n"
    "\n"
    "</body>\n"
    "\n"
    "</html>\n"
    "\n";

inline constexpr std::string_view kTailReplayButton =
    "<input type=\"button\" value=\"描画開始\" onclick=\"trackLine()\" />\n";
inline constexpr std::string_view kDrawReplayButton =
    "<input type=\"button\" value=\"描画開始\" onclick=\"drawLine()\" />\n";
static_assert(kPageBodyWithReplay.find(kTailReplayButton) != std::string_view::npos);
static_assert(kPageBodyWithReplay.find(kDrawReplayButton) != std::string_view::npos);

inline constexpr std::string_view kPageBodyWithoutReplay =
    "<body onload=\"setMap()\" onunload=\"GUnload()\">\n"
    "\n"
    "<div id=\"map\"></div>\n"
    "\n"
    "<div id=\"panel\">\n"
    "<span id=\"controler\">\n"
    "<input type=\"button\" value=\"消去\" onclick=\"routeOnOff(this)\" />\n"
    "</span>\n"
    "<span id=\"tool\">gererated by <a href=\"«home page address»\">KRM</a></span>\n"
    "</div>\n"
    "\n"
    "</body>\n"
    "\n"
    "</html>\n"
    "\n";

// -------------------------------------------------------------- the script

inline constexpr std::string_view kScriptHeader =
    "/* -------------------------------------*/\n"
    "/* Google Maps表示用\u3000JavaScriptファイル */\n"
    "/* -------------------------------------*/\n";

inline constexpr std::string_view kScriptGlobals =
    "/* [グローバル変数] */\n"
    "var map;\n"
    "var points = new Array();\n"
    "var count1 = 0;\n"
    "var count2 = 3;\n"
    "var dispLineObj;\n"
    "var timer;\n"
    "var divUnit = 100;\n"
    "var maxSteps = 2000; /* 点がこれより多いと、再生がこの回数以内で終わるよう数点ずつ進める */\n"
    "var stepUnit = 1; /* 1回に進める点の数 */\n"
    "var roopCount;\n"
    "var divData; // 2次元配列\n"
    "var LineNum;\n"
    "var N;\n"
    "var polyObj;\n"
    "var mode; // 0:Trail, 1:Draw\n"
    "var stopStatus = false;\n"
    "var Drawflag = false;\n"
    "var startflag = false;\n"
    "var CurrentN; /* 一時停止用に分割数を保持する */\n"
    "var flagDrawEnd; /* 描画しているか */\n";

inline constexpr std::string_view kScriptParameters =
    "/* パラメータ設定用 */\n"
    "var lineColor = \"#«colour»\";\n"
    "var lineWidth = «width»;\n"
    "var lineTrans = «opacity»;\n"
    "var midPoint = new GLatLng(«centre latitude», «centre longitude»);\n"
    "var minPoint = new GLatLng(«minimum latitude», «minimum longitude»);\n"
    "var maxPoint = new GLatLng(«maximum latitude», «maximum longitude»);\n";

// The function blocks, each followed by four line ends in the file.
inline constexpr std::string_view kSetMapFunction =
    "/* [関数]地図データのセット */\n"
    "function setMap()\n"
    "{\n"
    "\tmap = new GMap(document.getElementById(\"map\"));\n"
    "\tmap.addControl(new GLargeMapControl());\n"
    "\tmap.addControl(new GMapTypeControl());\n"
    "\tmap.addControl(new GScaleControl());\n"
    "\tmap.setMapType(G_NORMAL_MAP);\n"
    "\tmap.addControl(new GOverviewMapControl());\n"
    "\tmap.setCenter( midPoint, map.getBoundsZoomLevel(new GLatLngBounds(minPoint, maxPoint)) );\n"
    "\n"
    "\t/* データ取得 */\n"
    "\tpushData();\n"
    "\n"
    "\t/* トラック表示 */\n"
    "\tdisplayLine();\n"
    "}\n";

// The line of setMap that adds the overview map; left out when it is off.
inline constexpr std::string_view kOverviewControlLine = "\tmap.addControl(new GOverviewMapControl());\n";
static_assert(kSetMapFunction.find(kOverviewControlLine) != std::string_view::npos);

inline constexpr std::string_view kDisplayLineFunction =
    "/* [関数]Trackデータを表示 */\n"
    "function displayLine()\n"
    "{\n"
    "\n"
    "\tmap.addOverlay(dispLineObj = new GPolyline(points, lineColor , lineWidth , lineTrans));\n"
    "\tflagDrawEnd = true;\n"
    "\n"
    "}\n";

inline constexpr std::string_view kTrackLineFunction =
    "/* [関数]Trackデータを尾引き表示呼び出し関数 */\n"
    "function trackLine()\n"
    "{\n"
    "\n"
    "\tif(Drawflag == true || stopStatus == true){ /* 再生中か、停止中(最終処理の途中を含む) */\n"
    "\t\treturn;\n"
    "\t}else{\n"
    "\t\tDrawflag = true;\n"
    "\t}\n"
    "\t\n"
    "\tstartflag = true; // 実行開始\n"
    "\n"
    "\tmode = 0; // Trailモード\n"
    "\n"
    "\t/* 前回の最終処理を取り消す */\n"
    "\tclearTimeout(timer);\n"
    "\n"
    "\t/* 1回に進める点の数 */\n"
    "\tsetStepUnit();\n"
    "\n"
    "\t/* 線の削除 */\n"
    "\ttry { map.removeOverlay(dispLineObj); }catch(e){}\n"
    "\n"
    "\n"
    "\t/* 尾引き表示 */\n"
    "\tdisplayTailLine();\n"
    "\n"
    "}\n";

inline constexpr std::string_view kDisplayTailLineFunction =
    "/* [関数]尾引きしながら表示 */\n"
    "function displayTailLine()\n"
    "{\n"
    "\n"
    "\tvar displine = new Array();\n"
    "\tvar tail = 3;\n"
    "\n"
    "\tfor (var i=Math.max(count2-tail, 0); i<Math.min(count2, points.length); i++) {\n"
    "\n"
    "\t\tdispline.push(points[i]);\n"
    "\n"
    "\t}\n"
    "\n"
    "    /* 描画実行 */\n"
    "\ttry { map.removeOverlay(polyObj); }catch(e){}\n"
    "\ttry { map.addOverlay(polyObj = new GPolyline(displine, lineColor , lineWidth , lineTrans)); }catch(e){}\n"
    "\n"
    "\tif (count2 < points.length){\n"
    "\n"
    "\t\tcount2 = Math.min(count2 + stepUnit, points.length);\n"
    "\t\t timer = setTimeout(\"displayTailLine()\", parseInt(document.getElementById(\"Speed\").value));\n"
    "\n"
    "\t}\n"
    "\n"
    "\n"
    "\t/* 最後まで到達 */\n"
    "\telse{\n"
    "\n"
    "\t\tTrackEndProcess();\n"
    "\n"
    "\t}\n"
    "\n"
    "}\n";

inline constexpr std::string_view kDrawLineFunction =
    "/* [関数]Trackデータを描画表示の呼び出し関数 */\n"
    "function drawLine()\n"
    "{\n"
    "\n"
    "\tif(Drawflag == true || stopStatus == true) /* 再生中か、停止中(最終処理の途中を含む) */\n"
    "\t{\n"
    "\t\treturn;\n"
    "\t}\n"
    "\n"
    "\tmode = 1; /* Drawモード */\n"
    "\n"
    "\tstartflag = true; // 実行開始\n"
    "\tDrawflag = true;\n"
    "\n"
    "\t/* 前回の最終処理を取り消す */\n"
    "\tclearTimeout(timer);\n"
    "\n"
    "\t/* 描画の準備 */\n"
    "\tdrawLineSetting();\n"
    "\t\n"
    "\t/* 線の削除 */\n"
    "\ttry { map.removeOverlay(dispLineObj); }catch(e){}\n"
    "\n"
    "    /* 値の初期化 */\n"
    "\tcount1 = LineNum = 0;\n"
    "\n"
    "\t/* 描画表示 */\n"
    "\tdisplayDivDrawLine(divData[0].length);\n"
    "\n"
    "}\n";

inline constexpr std::string_view kDisplayDivDrawLineFunction =
    "/* [関数]Trackデータを描画表示（速度を考慮し分割表示） */\n"
    "/* (引数）LineNum:データグループ番号、N:グループのデータ数 */\n"
    "function displayDivDrawLine(N)\n"
    "{\n"
    "\tvar i, j;\n"
    "\tvar displine = new Array();\n"
    "\n"
    "\tfor (i=0; i<count1; i++) {\n"
    "\n"
    "\t\t/* LineNumグループのcount1番目までをデータプッシュ */\n"
    "\t\tdispline.push(divData[LineNum][i]);\n"
    "\n"
    "\t}\n"
    "\n"
    "    /* 描画実行 */\n"
    "\ttry { map.removeOverlay(polyObj[LineNum]); }catch(e){}\n"
    "\ttry { map.addOverlay(polyObj[LineNum] = new GPolyline(displine, lineColor , lineWidth , lineTrans)); }catch(e){}\n"
    "\t\n"
    "\n"
    "\tif (count1 < N){ /* LineNumグループを描画(グループは次のグループの最初の点まで持つので繋ぎで途切れない) */\n"
    "\n"
    "\t\tcount1 = Math.min(count1 + stepUnit, N);\n"
    "\t\tCurrentN = N;\n"
    "\t\ttimer = setTimeout(\"displayDivDrawLine(\"+ N + \")\", parseInt(document.getElementById(\"Speed\").value) );\n"
    "\n"
    "\t}\n"
    "\telse if( (LineNum+1) < roopCount ){ /* LineNumグループを終了し、LineNum+1グループを対象にする */\n"
    "\n"
    "\t\tcount1 = 0;\n"
    "\t\tLineNum++;\n"
    "\n"
    "\t\tdisplayDivDrawLine(divData[LineNum].length);\n"
    "\n"
    "\t}else{ /* 終了処理 */\n"
    "\n"
    "        timer = setTimeout(\"DrawEndProcess()\", 1000); /* 1秒待ってから(一時停止できる) */\n"
    "\n"
    "    }\n"
    "\n"
    "}\n";

inline constexpr std::string_view kDrawLineSettingFunction =
    "/* [関数]描画の前処理 */\n"
    "function drawLineSetting()\n"
    "{\n"
    "\tvar i;\n"
    "\tvar groupSize;\n"
    "\n"
    "\t/* 1回に進める点の数と、1グループの点の数 */\n"
    "\tsetStepUnit();\n"
    "\tgroupSize = divUnit * stepUnit;\n"
    "\n"
    "\t/* グループ数(点が一つでも1グループ) */\n"
    "\troopCount = Math.max( Math.ceil( (points.length-1)/groupSize ), 1 );\n"
    "\n"
    "\tpolyObj = new Array(roopCount);\n"
    "\tdivData = new Array(roopCount);\n"
    "\n"
    "\n"
    "\t/* データのコピー(各グループは次のグループの最初の点まで持つ：繋ぎでの途切れ防止) */\n"
    "\tfor (i = 0; i < roopCount; i++) {\n"
    "\n"
    "\t\tdivData[i] = points.slice( i*groupSize, Math.min((i+1)*groupSize + 1, points.length) );\n"
    "\n"
    "\t}\n"
    "\n"
    "}\n";

inline constexpr std::string_view kSetStepUnitFunction =
    "/* [関数]1回に進める点の数(maxSteps点までは1点ずつ) */\n"
    "function setStepUnit()\n"
    "{\n"
    "\tif (points.length <= maxSteps) {\n"
    "\t\tstepUnit = 1;\n"
    "\t} else { /* 描画表示ではグループごとに繋ぎの1回が加わる */\n"
    "\t\tstepUnit = Math.ceil( points.length / (maxSteps - maxSteps/divUnit) );\n"
    "\t}\n"
    "}\n";

inline constexpr std::string_view kStopRouteFunction =
    "/* [関数]一時停止 */\n"
    "function stopRoute(obj) \n"
    "{\n"
    "\n"
    "    if(startflag == false){\n"
    "        return;\n"
    "    }\n"
    "\n"
    "    \n"
    "\t/* 動作→停止 */\n"
    "    if(stopStatus == false){\n"
    "    \n"
    "    \tstopStatus = true;\n"
    "\t    obj.value = \"再開\";\n"
    "    \n"
    "\t    switch(mode){\n"
    "\t    case 0: /* Trailモード */\n"
    "\n"
    "\t\t    window.clearTimeout(timer);\n"
    "\t\t    break;\n"
    "\n"
    "\t    case 1: /* Drawモード */\n"
    "\n"
    "\t\t    window.clearTimeout(timer);\n"
    "\t\t    break;\n"
    "\n"
    "\t    }\n"
    "    \n"
    "    }else if(stopStatus == true){ /* 停止→動作 */\n"
    "    \n"
    "\n"
    "\t    stopStatus = false;\n"
    "\t    obj.value = \"停止\";\t\t\n"
    "\t    \n"
    "\t    if(Drawflag == false){ /* 最終処理の途中 */\n"
    "\n"
    "\t\t    restoreLine();\n"
    "\t\t    return;\n"
    "\n"
    "\t    }\n"
    "   \n"
    "\t    switch(mode){\n"
    "\t    case 0: /* Trailモード */\n"
    "\n"
    "\t\t    displayTailLine();\n"
    "\t\t    break;\n"
    "\n"
    "\t    case 1: /* Drawモード */\n"
    "\n"
    "\t\t    displayDivDrawLine(CurrentN);\n"
    "\t\t    break;\n"
    "\n"
    "\t    }\t   \n"
    "\t    \n"
    "    }\n"
    "\n"
    "}\n";

inline constexpr std::string_view kTrackEndProcessFunction =
    "/* [関数]最終処理(尾引き表示用) */\n"
    "function TrackEndProcess()\n"
    "{\n"
    "\t/* 1秒後に表示を消してトラックを再表示 */\n"
    "\ttimer = setTimeout(\"restoreLine()\", 1000);\n"
    "\n"
    "\t/* カウンターリセット */\n"
    "\tcount1 = 0;\n"
    "\tcount2 = 3;\n"
    "\n"
    "\tDrawflag = false; /* 描画開始を受け付ける */\n"
    "}\n";

inline constexpr std::string_view kDrawEndProcessFunction =
    "/* [関数]最終処理(描画表示用) */\n"
    "function DrawEndProcess()\n"
    "{\n"
    "    var i;\n"
    "    \n"
    "    /* 表示の消去 */\n"
    "    for(i=0; i<roopCount ;i++){\n"
    "\n"
    "        try { map.removeOverlay(polyObj[i]); }catch(e){}\n"
    "\n"
    "    }\n"
    "    \n"
    "\t/* 1秒後にトラックを再表示 */\n"
    "\ttimer = setTimeout(\"restoreLine()\", 1000);\n"
    "       \n"
    "    Drawflag = false; /* 描画開始を受け付ける */\n"
    "\n"
    "}\n";

inline constexpr std::string_view kRestoreLineFunction =
    "/* [関数]最終処理の終わり：トラックを再表示 */\n"
    "function restoreLine()\n"
    "{\n"
    "\t/* 尾を消す(描画表示の線は消してある) */\n"
    "\tif(mode == 0){\n"
    "\t\ttry { map.removeOverlay(polyObj); }catch(e){}\n"
    "\t}\n"
    "\n"
    "\tdisplayLine();\n"
    "\n"
    "    stopStatus = false;\n"
    "\tstartflag = false;\n"
    "}\n";

inline constexpr std::string_view kRouteOnOffFunction =
    "/* [関数]描画ON/OFF(ルート再生OFF時) */\n"
    "function routeOnOff(obj)\n"
    "{\n"
    "\n"
    "\t/* 消去する場合 */\n"
    "    if(flagDrawEnd == true){\n"
    "\n"
    "    \tflagDrawEnd = false;\n"
    "\t    obj.value = \"描画\";\n"
    "\t\teraseLine();\n"
    "\n"
    "\n"
    "    }else if(flagDrawEnd == false){ /* 描画する場合 */\n"
    "\n"
    "    \tflagDrawEnd = true;\n"
    "\t    obj.value = \"消去\";\n"
    "\t    displayLine();\n"
    "    }\n"
    "\n"
    "}\n";

// Written only without route replay.
inline constexpr std::string_view kEraseLineFunction =
    "/* [関数]Trackデータを削除 */\n"
    "function eraseLine()\n"
    "{\n"
    "\tmap.removeOverlay(dispLineObj);\n"
    "}\n";

// Written only for a track with a recording break among its kept points:
// every line the script makes goes on the map as one line per segment, so no
// line joins a break. Run when the script loads, before the map is made.
inline constexpr std::string_view kSplitAtBreaksFunction =
    "/* [関数]記録の途切れで線を分ける */\n"
    "/* 途切れの後の最初の点には印(segmentStart)がある。線は区間ごとの線として地図に載せ、途切れをまたいで引かない */\n"
    "function splitAtBreaks()\n"
    "{\n"
    "\tvar MapLine = GPolyline;\n"
    "\tvar addLine = GMap.prototype.addOverlay;\n"
    "\tvar removeLine = GMap.prototype.removeOverlay;\n"
    "\n"
    "\tGPolyline = function(line, color, width, trans)\n"
    "\t{\n"
    "\t\tvar part = new Array();\n"
    "\n"
    "\t\tthis.parts = new Array();\n"
    "\t\tfor (var i=0; i<line.length; i++) {\n"
    "\t\t\tif (line[i].segmentStart == true && part.length > 0) {\n"
    "\t\t\t\tthis.parts.push(new MapLine(part, color, width, trans));\n"
    "\t\t\t\tpart = new Array();\n"
    "\t\t\t}\n"
    "\t\t\tpart.push(line[i]);\n"
    "\t\t}\n"
    "\t\tthis.parts.push(new MapLine(part, color, width, trans));\n"
    "\t};\n"
    "\n"
    "\tGMap.prototype.addOverlay = function(overlay)\n"
    "\t{\n"
    "\t\tfor (var i=0; i<overlay.parts.length; i++) addLine.call(this, overlay.parts[i]);\n"
    "\t};\n"
    "\n"
    "\tGMap.prototype.removeOverlay = function(overlay)\n"
    "\t{\n"
    "\t\tfor (var i=0; i<overlay.parts.length; i++) removeLine.call(this, overlay.parts[i]);\n"
    "\t};\n"
    "}\n"
    "splitAtBreaks();\n";

// The point list: pushData with one statement per kept point.
inline constexpr std::string_view kPointListHead =
    "/* [関数]緯度・経度データをプッシュ */\n"
    "function pushData()\n"
    "{\n";
inline constexpr std::string_view kPointLineStart = "\tpoints.push(new GLatLng(";
inline constexpr std::string_view kPointLineMiddle = ", ";
inline constexpr std::string_view kPointLineEnd = "));\n";
// After the point line of the first point after a recording break.
inline constexpr std::string_view kSegmentStartLine = "\tpoints[points.length-1].segmentStart = true;\n";
inline constexpr std::string_view kPointListTail =
    "\n"
    "}\n";

// --------------------------------------------------------- the style sheet

inline constexpr std::string_view kStyleSheet =
    "/* -------------------------------------*/\n"
    "/* Google Maps表示用\u3000StyeSheetファイル */\n"
    "/* -------------------------------------*/\n"
    "\n"
    "\n"
    "/* 地図サイズ */\n"
    "div#map {\n"
    "\twidth: 640px;\n"
    "\theight: 480px;\n"
    "\tmargin-bottom: 8px;\n"
    "}\n"
    "\n"
    "/* 制御部分 */\n"
    "div#panel {\n"
    "\twidth: 630px;\n"
    "\theight: 24px;\n"
    "\tbackground-color: #cccccc;\n"
    "\tpadding: 3px 3px 3px 7px;\n"
    "}\n"
    "\n"
    "span#controler {\n"
    "\tfloat: left;\n"
    "\tfont-size: 1em;\n"
    "}\n"
    "\n"
    "span#tool {\n"
    "\tfloat: right;\n"
    "\tfont-size: 0.75em;\n"
    "\tfont-color: #777777;\n"
    "\tfont-style: Italic;\n"
    "\tpadding-top: 8px;\n"
    "\tpadding-right: 5px;\n"
    "}\n";

// clang-format on

}  // namespace kestrel
