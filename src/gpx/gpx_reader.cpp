#include "gpx/gpx_reader.h"

#include <expat.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <new>

namespace kestrel {
namespace {

// The namespaces of GPX 1.1 and 1.0; elements without a namespace are read
// as GPX too, as files written by hand often have them.
constexpr std::string_view kGpx11 = "http://www.topografix.com/GPX/1/1";
constexpr std::string_view kGpx10 = "http://www.topografix.com/GPX/1/0";
// Separates the namespace from the local name in the names expat hands over.
constexpr char kNamespaceSeparator = ' ';

// Bytes handed to the parser at a time.
constexpr std::size_t kChunkSize = std::size_t{256} << 10;
// The longest piece of markup (a tag with its attributes, a comment) and the
// longest text of one element kept: no GPX file needs more, and a larger one
// would make the parser hold it whole.
constexpr std::int64_t kLongestMarkup = std::int64_t{1} << 20;
constexpr std::size_t kLongestText = std::size_t{1} << 20;
// Elements open at once; the parser keeps each in memory.
constexpr int kDeepestNesting = 256;

enum class Element : std::uint8_t {
  Gpx, WayPoint, Route, RoutePoint, Track, Segment, TrackPoint, Name, Description, Elevation, Time
};

bool HoldsText(Element element) {
  return element == Element::Name || element == Element::Description || element == Element::Elevation ||
         element == Element::Time;
}

// The element a GPX element of this local name is inside its parent, or
// nothing where GPX has no such element (it is skipped with all it holds).
std::optional<Element> ElementOf(std::optional<Element> parent, std::string_view name) {
  if (!parent) {
    if (name == "gpx") return Element::Gpx;
    return std::nullopt;
  }
  switch (*parent) {
    case Element::Gpx:
      if (name == "wpt") return Element::WayPoint;
      if (name == "rte") return Element::Route;
      if (name == "trk") return Element::Track;
      break;
    case Element::Route:
      if (name == "name") return Element::Name;
      if (name == "rtept") return Element::RoutePoint;
      break;
    case Element::Track:
      if (name == "name") return Element::Name;
      if (name == "trkseg") return Element::Segment;
      break;
    case Element::Segment:
      if (name == "trkpt") return Element::TrackPoint;
      break;
    case Element::WayPoint:
      if (name == "name") return Element::Name;
      if (name == "desc") return Element::Description;
      [[fallthrough]];
    case Element::RoutePoint:
    case Element::TrackPoint:
      if (name == "ele") return Element::Elevation;
      if (name == "time") return Element::Time;
      break;
    default:
      break;
  }
  return std::nullopt;
}

std::string_view TrimXmlSpace(std::string_view text) {
  constexpr std::string_view kSpace = " \t\r\n";
  const std::size_t first = text.find_first_not_of(kSpace);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

// An XML Schema decimal (an optional sign, digits, a point and digits) or
// double (also an exponent); nothing for any other text and for infinities.
std::optional<double> ReadNumber(std::string_view text) {
  text = TrimXmlSpace(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

// Reads digits as a number; false when the text does not hold exactly them.
bool ReadDigits(std::string_view text, int& value) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && text.front() != '-' && text.front() != '+';
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

int DaysInMonth(int year, int month) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

std::optional<std::int32_t> ReadUtcDateTime(std::string_view text) {
  text = TrimXmlSpace(text);
  // YYYY-MM-DDThh:mm:ss, the year of four digits or more.
  const std::size_t dash = text.find('-');
  if (dash == std::string_view::npos || dash < 4 || text.size() < dash + 15) return std::nullopt;
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  const std::string_view rest = text.substr(dash);
  if (!ReadDigits(text.substr(0, dash), year) || rest[3] != '-' || rest[6] != 'T' || rest[9] != ':' ||
      rest[12] != ':' || !ReadDigits(rest.substr(1, 2), month) || !ReadDigits(rest.substr(4, 2), day) ||
      !ReadDigits(rest.substr(7, 2), hour) || !ReadDigits(rest.substr(10, 2), minute) ||
      !ReadDigits(rest.substr(13, 2), second)) {
    return std::nullopt;
  }
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 || minute > 59 ||
      second > 60) {
    return std::nullopt;
  }
  std::string_view zone = rest.substr(15);
  if (!zone.empty() && zone.front() == '.') {
    const std::size_t digits = zone.find_first_not_of("0123456789", 1);
    if (digits == 1) return std::nullopt;
    zone.remove_prefix(digits == std::string_view::npos ? zone.size() : digits);
  }
  int offsetMinutes = 0;
  if (zone == "Z" || zone.empty()) {
    offsetMinutes = 0;
  } else {
    int zoneHours = 0, zoneMinutes = 0;
    if (zone.size() != 6 || (zone[0] != '+' && zone[0] != '-') || zone[3] != ':' ||
        !ReadDigits(zone.substr(1, 2), zoneHours) || !ReadDigits(zone.substr(4, 2), zoneMinutes) ||
        zoneHours > 14 || zoneMinutes > 59) {
      return std::nullopt;
    }
    offsetMinutes = (zone[0] == '+' ? 1 : -1) * (zoneHours * 60 + zoneMinutes);
  }
  const std::int64_t seconds = DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second -
                               std::int64_t{offsetMinutes} * 60;
  if (seconds < std::numeric_limits<std::int32_t>::min() || seconds > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(seconds);
}

namespace {

class GpxParser {
 public:
  GpxParser(ByteSource& source, std::optional<std::int32_t> chosen, std::span<TrackPoint> points,
            std::vector<TrackPoint>* only)
      : source_(source),
        chosen_(chosen),
        points_(points),
        only_(only),
        parser_(XML_ParserCreateNS(nullptr, kNamespaceSeparator)) {}
  ~GpxParser() { XML_ParserFree(parser_); }
  GpxParser(const GpxParser&) = delete;
  GpxParser& operator=(const GpxParser&) = delete;

  Result<GpxContents> Run(const Progress& progress) {
    if (parser_ == nullptr) return Fail(kGpxDamagedMessage, source_.Name() + ": out of memory");
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser_, OnText);
    XML_SetEntityDeclHandler(parser_, OnEntityDeclaration);
    if (const int error = source_.Seek(0); error != 0) return Fail(kNoDataMessage, SystemDetail(source_.Name(), error));

    std::int64_t fed = 0;
    for (;;) {
      void* buffer = XML_GetBuffer(parser_, static_cast<int>(kChunkSize));
      if (buffer == nullptr) return ParserFailure();
      const ByteSource::ReadCount got = source_.Read(static_cast<char*>(buffer), kChunkSize);
      if (got.error != 0) return Fail(kNoDataMessage, SystemDetail(source_.Name(), got.error));
      fed += static_cast<std::int64_t>(got.bytes);
      const bool last = got.bytes == 0;
      if (XML_ParseBuffer(parser_, static_cast<int>(got.bytes), last ? XML_TRUE : XML_FALSE) != XML_STATUS_OK) {
        return ParserFailure();
      }
      if (last) break;
      // What the parser holds beyond its last event is one piece of markup
      // not yet complete.
      const std::int64_t parsed = std::max<std::int64_t>(XML_GetCurrentByteIndex(parser_), 0);
      if (fed - parsed > kLongestMarkup) {
        return Fail(kGpxDamagedMessage, Where() + "a tag or comment longer than 1 MB");
      }
      if (progress && !progress(fed, source_.Size())) return Cancelled();
    }
    if (chosen_) {
      if (*chosen_ < 0 || *chosen_ >= static_cast<std::int32_t>(contents_.tracks.size())) {
        return Fail(kGpxDamagedMessage, source_.Name() + ": no track " + std::to_string(*chosen_ + 1));
      }
      if (filled_ != points_.size()) return Fail(kGpxDamagedMessage, source_.Name() + ": the file has changed");
    }
    return std::move(contents_);
  }

 private:
  static void XMLCALL OnStart(void* self, const XML_Char* name, const XML_Char** attributes) {
    static_cast<GpxParser*>(self)->Guarded([&](GpxParser& p) { p.Start(name, attributes); });
  }
  static void XMLCALL OnEnd(void* self, const XML_Char*) {
    static_cast<GpxParser*>(self)->Guarded([](GpxParser& p) { p.End(); });
  }
  static void XMLCALL OnText(void* self, const XML_Char* text, int length) {
    static_cast<GpxParser*>(self)->Guarded(
        [&](GpxParser& p) { p.Text(std::string_view(text, static_cast<std::size_t>(length))); });
  }
  // Entities are what a "billion laughs" file multiplies itself with; GPX
  // has no use for them.
  static void XMLCALL OnEntityDeclaration(void* self, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                                          const XML_Char*, const XML_Char*, const XML_Char*) {
    static_cast<GpxParser*>(self)->Damaged("the file declares an entity, which GPX does not use");
  }

  // Runs a handler; no exception may pass through the parser, which is C.
  // After a failure the parser may still report the end of the element it
  // stopped in: nothing is done any more.
  template <typename Handler>
  void Guarded(Handler handler) {
    if (failure_) return;
    try {
      handler(*this);
    } catch (const std::bad_alloc&) {
      Damaged("out of memory");
    }
  }

  std::string Where() const {
    return source_.Name() + ": line " + std::to_string(XML_GetCurrentLineNumber(parser_)) + ": ";
  }

  // The first problem found stops the parser.
  void Damaged(const std::string& what) {
    if (failure_) return;
    failure_ = Fail(kGpxDamagedMessage, Where() + what);
    XML_StopParser(parser_, XML_FALSE);
  }

  Failure ParserFailure() const {
    if (failure_) return *failure_;
    return Fail(kGpxDamagedMessage, source_.Name() + ": line " + std::to_string(XML_GetErrorLineNumber(parser_)) +
                                        ": " + XML_ErrorString(XML_GetErrorCode(parser_)));
  }

  void Start(std::string_view name, const XML_Char** attributes) {
    if (++depth_ > kDeepestNesting) return Damaged("elements nested deeper than 256");
    if (skippedDepth_ > 0) {
      ++skippedDepth_;
      return;
    }
    const std::size_t separator = name.find(kNamespaceSeparator);
    const std::string_view space = separator == std::string_view::npos ? "" : name.substr(0, separator);
    const std::string_view local = separator == std::string_view::npos ? name : name.substr(separator + 1);
    const std::optional<Element> parent = open_.empty() ? std::nullopt : std::optional(open_.back());
    const bool gpx = space.empty() || space == kGpx11 || space == kGpx10;
    const std::optional<Element> element = gpx ? ElementOf(parent, local) : std::nullopt;
    if (!parent && !element) return Damaged("the file is no GPX file: its first element is " + std::string(local));
    if (!element || (parent && HoldsText(*parent))) {
      skippedDepth_ = 1;
      return;
    }
    open_.push_back(*element);
    switch (*element) {
      case Element::WayPoint:
        wayPoint_ = WayPoint{};
        usable_ = ReadPosition(attributes, wayPoint_.latitude, wayPoint_.longitude);
        break;
      case Element::RoutePoint:
      case Element::TrackPoint:
        point_ = TrackPoint{};
        usable_ = ReadPosition(attributes, point_.latitude, point_.longitude);
        break;
      case Element::Route:
      case Element::Track:
        contents_.tracks.push_back({{}, 0, *element == Element::Route});
        inChosen_ = chosen_ && *chosen_ == static_cast<std::int32_t>(contents_.tracks.size()) - 1;
        // The points kept while listing are those of a file's only track.
        if (only_ != nullptr && contents_.tracks.size() == 2) ForgetOnly();
        segmentFirst_ = false;
        break;
      case Element::Segment:
        segmentFirst_ = true;
        break;
      default:
        text_.clear();
        break;
    }
  }

  // False when the point has no latitude from -90 to 90 or no longitude
  // from -180 to 180.
  static bool ReadPosition(const XML_Char** attributes, double& latitude, double& longitude) {
    std::optional<double> lat, lon;
    for (const XML_Char** a = attributes; *a != nullptr; a += 2) {
      const std::string_view name = a[0];
      if (name == "lat") lat = ReadNumber(a[1]);
      if (name == "lon") lon = ReadNumber(a[1]);
    }
    if (!lat || *lat < -90.0 || *lat > 90.0 || !lon || *lon < -180.0 || *lon > 180.0) return false;
    latitude = *lat;
    longitude = *lon;
    return true;
  }

  void ForgetOnly() {
    only_->clear();
    only_->shrink_to_fit();
    only_ = nullptr;
  }

  void End() {
    --depth_;
    if (skippedDepth_ > 0) {
      --skippedDepth_;
      return;
    }
    const Element element = open_.back();
    open_.pop_back();
    const Element parent = open_.empty() ? Element::Gpx : open_.back();
    switch (element) {
      case Element::WayPoint:
        if (usable_) {
          contents_.wayPoints.push_back(std::move(wayPoint_));
        } else {
          ++contents_.skippedWayPoints;
        }
        break;
      case Element::RoutePoint:
      case Element::TrackPoint:
        if (usable_) {
          AddPoint();
        } else {
          ++contents_.tracks.back().skippedPoints;
        }
        break;
      case Element::Name:
        if (parent == Element::WayPoint) {
          wayPoint_.name = text_;
        } else {
          contents_.tracks.back().name = text_;
        }
        break;
      case Element::Description:
        wayPoint_.description = text_;
        break;
      case Element::Elevation: {
        const std::optional<double> altitude = ReadNumber(text_);
        usable_ = usable_ && altitude;
        if (altitude) (parent == Element::WayPoint ? wayPoint_.altitude : point_.altitude) = *altitude;
        break;
      }
      case Element::Time: {
        const std::optional<std::int32_t> time = ReadUtcDateTime(text_);
        usable_ = usable_ && time;
        if (!time) break;
        (parent == Element::WayPoint ? wayPoint_.time : point_.time) = *time;
        (parent == Element::WayPoint ? wayPoint_.timeKind : point_.timeKind) = TimeKind::DateAndTime;
        break;
      }
      default:
        break;
    }
  }

  void AddPoint() {
    GpxTrackEntry& track = contents_.tracks.back();
    if (track.pointCount == std::numeric_limits<std::int32_t>::max()) return Damaged("a track of too many points");
    point_.segmentStart = segmentFirst_ && track.pointCount > 0;
    segmentFirst_ = false;
    if (inChosen_) {
      if (filled_ == points_.size()) return Damaged("the file has changed");
      points_[filled_++] = point_;
    }
    if (only_ != nullptr) {
      if (only_->size() == only_->capacity()) {
        ForgetOnly();
      } else {
        only_->push_back(point_);
      }
    }
    ++track.pointCount;
  }

  void Text(std::string_view text) {
    if (skippedDepth_ > 0 || open_.empty() || !HoldsText(open_.back())) return;
    if (text_.size() + text.size() > kLongestText) return Damaged("a text longer than 1 MB");
    text_.append(text);
  }

  ByteSource& source_;
  const std::optional<std::int32_t> chosen_;
  const std::span<TrackPoint> points_;
  std::vector<TrackPoint>* only_;  // while the points of the first track are kept
  XML_Parser parser_;
  std::optional<Failure> failure_;

  GpxContents contents_;
  std::vector<Element> open_;  // the GPX elements open, outermost first
  int depth_ = 0;              // all elements open
  int skippedDepth_ = 0;       // elements open inside and with one that is skipped
  std::string text_;           // of the text element open
  WayPoint wayPoint_;
  TrackPoint point_;
  bool usable_ = false;        // the way point or point open has a usable position, ele and time
  bool inChosen_ = false;      // inside the chosen track
  bool segmentFirst_ = false;  // the next point is the first of its trkseg
  std::size_t filled_ = 0;     // points of the chosen track read
};

}  // namespace

Result<GpxContents> ReadGpx(ByteSource& source, std::optional<std::int32_t> chosen, std::span<TrackPoint> points,
                            const Progress& progress) {
  GpxParser parser(source, chosen, points, nullptr);
  return parser.Run(progress);
}

Result<GpxContents> ListGpx(ByteSource& source, std::vector<TrackPoint>& only, const Progress& progress) {
  only.clear();
  GpxParser parser(source, std::nullopt, {}, &only);
  Result<GpxContents> contents = parser.Run(progress);
  if (!contents) {
    only.clear();
    only.shrink_to_fit();
  }
  return contents;
}

}  // namespace kestrel
