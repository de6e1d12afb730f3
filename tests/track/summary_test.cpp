#include "track/summary.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/test_support.h"

namespace kestrel {
namespace {

TrackSummary SampleSummary() {
  TrackSummary s;
  s.fileName = "walk.usr";
  s.trailName = "東京散歩";
  s.pointCount = 1234;
  s.distance = 12345.678;
  s.minLongitude = 139.76131500000002;
  s.maxLongitude = 139.8;
  s.minLatitude = 35.66872333333334;
  s.maxLatitude = 35.7;
  s.minAltitude = 42.54;
  s.maxAltitude = 120.0;
  s.startTime = 1236256519;  // 2009-03-05 12:35:19 UTC
  s.endTime = 1236260107;    // 13:35:07 UTC
  return s;
}

TEST(TrailSummaryText, SixSections) {
  EXPECT_EQ(TrailSummaryText(SampleSummary()),
            "【トラック】\r\nwalk.usr\r\n\r\n"
            "【対象Trail】\r\n東京散歩\r\n\r\n"
            "【データ数】\r\n1234 (Points)\r\n\r\n"
            "【行程距離】\r\n12345.68 (m)\r\n\r\n"
            "【経度】\r\n139.7613 ～ 139.8000\r\n\r\n"
            "【緯度】\r\n35.66872 ～ 35.70000\r\n\r\n");
}

TEST(TrailSummaryText, AddsTheClockTimesOfATrailThatHasThem) {
  test::ScopedTimeZone zone("Asia/Tokyo");
  TrackSummary s = SampleSummary();
  s.timeKind = TimeKind::DateAndTime;
  s.minLatitude = -35.66872333333334;  // signed ranges
  s.maxLatitude = -35.1;
  EXPECT_TRUE(TrailSummaryText(s).ends_with("【緯度】\r\n-35.66872 ～ -35.10000\r\n\r\n"
                                            "【時刻(ローカル時間)】\r\n21時35分19秒\r\n      ～ 22時35分7秒"))
      << TrailSummaryText(s);
}

TEST(SkippedText, SaysHowManyLinesOfALogOrPointsOfAGpxFileWereSkipped) {
  TrackSummary s;
  EXPECT_EQ(SkippedText(s), "");
  s.skippedLines = 12;
  EXPECT_EQ(SkippedText(s), "NMEAﾃﾞｰﾀの12行を読み飛ばしました");
  s.skippedLines = 0;
  s.skippedPoints = 3;
  EXPECT_EQ(SkippedText(s), "GPXﾃﾞｰﾀの3点を読み飛ばしました");
}

TEST(NmeaSummaryText, SevenSectionsWithLocalClockTimes) {
  test::ScopedTimeZone zone("Asia/Tokyo");
  EXPECT_EQ(NmeaSummaryText(SampleSummary()),
            "【トラック】\r\nwalk.usr\r\n\r\n"
            "【データ数】\r\n1234 (Points)\r\n\r\n"
            "【行程距離】\r\n12345.68 (m)\r\n\r\n"
            "【経度】\r\n139.7613 ～ 139.8000\r\n\r\n"
            "【緯度】\r\n35.66872 ～ 35.70000\r\n\r\n"
            "【高さ】\r\n42.5 ～ 120.0 (m)\r\n\r\n"
            "【時刻(ローカル時間)】\r\n21時35分19秒\r\n      ～ 22時35分7秒");
}

TEST(NmeaSummaryText, TimesFollowTheZoneAndShowNegativeTimes) {
  TrackSummary s = SampleSummary();
  s.startTime = 0;
  s.endTime = -18001;  // a log without a date, seen in New York
  test::ScopedTimeZone zone("America/New_York");
  const std::string text = NmeaSummaryText(s);
  EXPECT_NE(text.find("【時刻(ローカル時間)】\r\n19時0分0秒\r\n      ～ 13時59分59秒"), std::string::npos) << text;
}

TEST(SummaryTexts, ZeroOrNotANumberShowsNoData) {
  TrackSummary s = SampleSummary();
  s.minLongitude = 0.0;
  s.minLatitude = NAN;
  s.minAltitude = -9999;
  s.maxAltitude = -9999;
  s.distance = 0.0;
  const std::string text = NmeaSummaryText(s);
  EXPECT_NE(text.find("【経度】\r\nNoData ～ 139.8000\r\n"), std::string::npos);
  EXPECT_NE(text.find("【緯度】\r\nNoData ～ 35.70000\r\n"), std::string::npos);
  EXPECT_NE(text.find("【高さ】\r\n-9999.0 ～ -9999.0 (m)\r\n"), std::string::npos);
  EXPECT_NE(text.find("【行程距離】\r\n0.00 (m)\r\n"), std::string::npos);
  s.maxLatitude = -1;
  EXPECT_NE(TrailSummaryText(s).find("NoData ～ -1.00000"), std::string::npos);
}

TEST(SummaryTexts, NamesAreDashUntilSet) {
  const std::string text = TrailSummaryText(TrackSummary{});
  EXPECT_TRUE(text.starts_with("【トラック】\r\n-\r\n\r\n【対象Trail】\r\n-\r\n\r\n")) << text;
}

TEST(UsrFileSummaryText, ListsTheDirectory) {
  TrackSummary s;
  s.SetUsrInfo(2, 2, 1, {TrailEntry{100, 350, "Walk"}});
  EXPECT_EQ(UsrFileSummaryText(s), "【Way Point数】： 2\r\n\r\n【Trail数】： 1\r\n Walk (350)\r\n");
  s.SetUsrInfo(2, 0, 0, {});
  EXPECT_EQ(UsrFileSummaryText(s), "【Way Point数】： 0\r\n\r\n【Trail数】： 0\r\n");
}

}  // namespace
}  // namespace kestrel
