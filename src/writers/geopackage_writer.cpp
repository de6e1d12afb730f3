#include "writers/geopackage_writer.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <span>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/paths.h"
#include "writers/exchange_track.h"

namespace kestrel {
namespace {

constexpr int kApplicationId = 0x47504B47;  // "GPKG"
constexpr int kUserVersion = 10300;         // GeoPackage 1.3.0
constexpr std::int32_t kWgs84 = 4326;
// Points between two progress reports.
constexpr std::size_t kProgressStep = 4096;

// The tables a GeoPackage needs and the two of the tracks; each is made only
// where it is not there yet, so that the same text serves a new file and one
// a track is appended to.
constexpr const char* kSchema = R"(
CREATE TABLE IF NOT EXISTS gpkg_spatial_ref_sys (
  srs_name TEXT NOT NULL, srs_id INTEGER PRIMARY KEY, organization TEXT NOT NULL,
  organization_coordsys_id INTEGER NOT NULL, definition TEXT NOT NULL, description TEXT);
CREATE TABLE IF NOT EXISTS gpkg_contents (
  table_name TEXT NOT NULL PRIMARY KEY, data_type TEXT NOT NULL, identifier TEXT UNIQUE,
  description TEXT DEFAULT '',
  last_change DATETIME NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%fZ','now')),
  min_x DOUBLE, min_y DOUBLE, max_x DOUBLE, max_y DOUBLE, srs_id INTEGER,
  CONSTRAINT fk_gc_r_srs_id FOREIGN KEY (srs_id) REFERENCES gpkg_spatial_ref_sys(srs_id));
CREATE TABLE IF NOT EXISTS gpkg_geometry_columns (
  table_name TEXT NOT NULL, column_name TEXT NOT NULL, geometry_type_name TEXT NOT NULL,
  srs_id INTEGER NOT NULL, z TINYINT NOT NULL, m TINYINT NOT NULL,
  CONSTRAINT pk_geom_cols PRIMARY KEY (table_name, column_name),
  CONSTRAINT uk_gc_table_name UNIQUE (table_name),
  CONSTRAINT fk_gc_tn FOREIGN KEY (table_name) REFERENCES gpkg_contents(table_name),
  CONSTRAINT fk_gc_srs FOREIGN KEY (srs_id) REFERENCES gpkg_spatial_ref_sys(srs_id));
INSERT OR IGNORE INTO gpkg_spatial_ref_sys VALUES
  ('WGS 84 geodetic', 4326, 'EPSG', 4326,
   'GEOGCS["WGS 84",DATUM["WGS_1984",SPHEROID["WGS 84",6378137,298.257223563,AUTHORITY["EPSG","7030"]],AUTHORITY["EPSG","6326"]],PRIMEM["Greenwich",0,AUTHORITY["EPSG","8901"]],UNIT["degree",0.0174532925199433,AUTHORITY["EPSG","9122"]],AUTHORITY["EPSG","4326"]]',
   'longitude/latitude coordinates in decimal degrees on the WGS 84 spheroid'),
  ('Undefined cartesian SRS', -1, 'NONE', -1, 'undefined', 'undefined cartesian coordinate reference system'),
  ('Undefined geographic SRS', 0, 'NONE', 0, 'undefined', 'undefined geographic coordinate reference system');
CREATE TABLE IF NOT EXISTS tracks (
  fid INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL, geom MULTILINESTRING, name TEXT,
  start_time DATETIME, end_time DATETIME, point_count INTEGER NOT NULL, distance DOUBLE NOT NULL);
CREATE TABLE IF NOT EXISTS track_points (
  fid INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL, geom POINT,
  track_fid INTEGER NOT NULL REFERENCES tracks(fid), segment INTEGER NOT NULL,
  altitude DOUBLE, time DATETIME);
INSERT OR IGNORE INTO gpkg_contents (table_name, data_type, identifier, description, srs_id) VALUES
  ('tracks', 'features', 'tracks', 'one row per track', 4326),
  ('track_points', 'features', 'track_points', 'one row per track point', 4326);
INSERT OR IGNORE INTO gpkg_geometry_columns VALUES
  ('tracks', 'geom', 'MULTILINESTRING', 4326, 0, 0),
  ('track_points', 'geom', 'POINT', 4326, 0, 0);
)";

// The extent of both tables grows by the track's.
constexpr const char* kExtendContents = R"(
UPDATE gpkg_contents SET
  min_x = min(coalesce(min_x, ?1), ?1), min_y = min(coalesce(min_y, ?2), ?2),
  max_x = max(coalesce(max_x, ?3), ?3), max_y = max(coalesce(max_y, ?4), ?4),
  last_change = strftime('%Y-%m-%dT%H:%M:%fZ','now')
WHERE table_name IN ('tracks', 'track_points');
)";

constexpr const char* kInsertTrack =
    "INSERT INTO tracks (geom, name, start_time, end_time, point_count, distance) VALUES (?, ?, ?, ?, ?, ?)";
constexpr const char* kInsertPoint =
    "INSERT INTO track_points (geom, track_fid, segment, altitude, time) VALUES (?, ?, ?, ?, ?)";

// The bounding box of the points, in degrees.
struct Extent {
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
};

Extent ExtentOf(std::span<const TrackPoint> points) {
  Extent extent{points.front().longitude, points.front().latitude, points.front().longitude,
                points.front().latitude};
  for (const TrackPoint& point : points) {
    extent.minX = std::min(extent.minX, point.longitude);
    extent.minY = std::min(extent.minY, point.latitude);
    extent.maxX = std::max(extent.maxX, point.longitude);
    extent.maxY = std::max(extent.maxY, point.latitude);
  }
  return extent;
}

// GeoPackage geometry binary: a header ("GP", version 0, flags, SRS id,
// optional envelope), then the geometry as little-endian WKB.
class GeometryBlob {
 public:
  // A header without an envelope (a point) or with the envelope of a line.
  explicit GeometryBlob(const Extent* envelope) {
    bytes_.append("GP");
    bytes_.push_back(0);
    // Bit 0: little-endian; bits 1-3: 1 for an envelope of min x, max x, min y, max y.
    bytes_.push_back(static_cast<char>(envelope != nullptr ? 0x03 : 0x01));
    Uint32(static_cast<std::uint32_t>(kWgs84));
    if (envelope != nullptr) {
      Double(envelope->minX);
      Double(envelope->maxX);
      Double(envelope->minY);
      Double(envelope->maxY);
    }
  }

  // The byte order mark and type of a WKB geometry: 1 point, 2 line string,
  // 5 multi line string.
  void Geometry(std::uint32_t type) {
    bytes_.push_back(1);
    Uint32(type);
  }
  void Position(const TrackPoint& point) {
    Double(point.longitude);
    Double(point.latitude);
  }
  void Uint32(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(static_cast<char>((value >> shift) & 0xFF));
  }
  void Double(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    for (int shift = 0; shift < 64; shift += 8) bytes_.push_back(static_cast<char>((bits >> shift) & 0xFF));
  }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

std::string PointBlob(const TrackPoint& point) {
  GeometryBlob blob(nullptr);
  blob.Geometry(1);
  blob.Position(point);
  return blob.Bytes();
}

std::string LinesBlob(const std::vector<std::span<const TrackPoint>>& segments, const Extent& extent) {
  GeometryBlob blob(&extent);
  blob.Geometry(5);
  blob.Uint32(static_cast<std::uint32_t>(segments.size()));
  for (const std::span<const TrackPoint> segment : segments) {
    blob.Geometry(2);
    blob.Uint32(static_cast<std::uint32_t>(LinePositionCount(segment)));
    for (std::size_t i = 0; i < LinePositionCount(segment); ++i) blob.Position(LinePosition(segment, i));
  }
  return blob.Bytes();
}

// A DATETIME of GeoPackage: 2024-05-03T01:20:00.000Z
std::string DateTimeText(std::int32_t time) {
  std::string text;
  AppendUtcTime(text, time);
  text.insert(text.size() - 1, ".000");
  return text;
}

class Database {
 public:
  explicit Database(std::string name) : name_(std::move(name)) {}
  ~Database() { sqlite3_close(db_); }
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  bool Open(const std::string& path) {
    return sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
  }
  bool Execute(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
  bool ReadOnly() const { return sqlite3_db_readonly(db_, "main") == 1; }
  int Pragma(const char* name) {
    int value = 0;
    const std::string sql = std::string("PRAGMA ") + name;
    sqlite3_exec(
        db_, sql.c_str(),
        [](void* out, int, char** values, char**) {
          *static_cast<int*>(out) = values[0] != nullptr ? std::atoi(values[0]) : 0;
          return 0;
        },
        &value, nullptr);
    return value;
  }
  // "<name>: <what SQLite says went wrong last>"
  std::string Detail() const { return name_ + ": " + (db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory"); }
  sqlite3* Handle() const { return db_; }

 private:
  std::string name_;
  sqlite3* db_ = nullptr;
};

class Statement {
 public:
  Statement(const Database& db, const char* sql) { sqlite3_prepare_v2(db.Handle(), sql, -1, &statement_, nullptr); }
  ~Statement() { sqlite3_finalize(statement_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  explicit operator bool() const { return statement_ != nullptr; }
  void Blob(int index, const std::string& bytes) {
    sqlite3_bind_blob(statement_, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  }
  void Text(int index, const std::string& text) {
    sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }
  void Integer(int index, std::int64_t value) { sqlite3_bind_int64(statement_, index, value); }
  void Real(int index, double value) { sqlite3_bind_double(statement_, index, value); }
  void Null(int index) { sqlite3_bind_null(statement_, index); }
  // Runs the statement and makes it ready for the next values.
  bool Run() {
    const bool done = sqlite3_step(statement_) == SQLITE_DONE;
    sqlite3_reset(statement_);
    return done;
  }

 private:
  sqlite3_stmt* statement_ = nullptr;
};

// The track's row, then a row per point; the caller's transaction holds them.
Result<void> InsertTrack(Database& db, const ExchangeTrack& track, const Progress& progress) {
  const std::vector<std::span<const TrackPoint>> segments = track.Segments();
  const Extent extent = ExtentOf(track.points);
  const auto timed = std::find_if(track.points.begin(), track.points.end(), HasDateAndTime);
  const auto lastTimed = std::find_if(track.points.rbegin(), track.points.rend(), HasDateAndTime);
  double distance = 0.0;
  for (const std::span<const TrackPoint> segment : segments) {
    for (std::size_t i = 1; i < segment.size(); ++i) distance += SegmentLength(segment[i - 1], segment[i]);
  }

  Statement row(db, kInsertTrack);
  if (!row) return Fail(kWriteFailedMessage, db.Detail());
  row.Blob(1, LinesBlob(segments, extent));
  row.Text(2, track.name);
  if (timed != track.points.end()) {
    row.Text(3, DateTimeText(timed->time));
    row.Text(4, DateTimeText(lastTimed->time));
  }
  row.Integer(5, static_cast<std::int64_t>(track.points.size()));
  row.Real(6, distance);
  if (!row.Run()) return Fail(kWriteFailedMessage, db.Detail());
  const sqlite3_int64 trackId = sqlite3_last_insert_rowid(db.Handle());

  Statement point(db, kInsertPoint);
  if (!point) return Fail(kWriteFailedMessage, db.Detail());
  std::size_t done = 0;
  for (std::size_t s = 0; s < segments.size(); ++s) {
    for (const TrackPoint& p : segments[s]) {
      point.Blob(1, PointBlob(p));
      point.Integer(2, trackId);
      point.Integer(3, static_cast<std::int64_t>(s + 1));
      if (HasAltitude(p)) {
        point.Real(4, p.altitude);
      } else {
        point.Null(4);
      }
      if (HasDateAndTime(p)) {
        point.Text(5, DateTimeText(p.time));
      } else {
        point.Null(5);
      }
      if (!point.Run()) return Fail(kWriteFailedMessage, db.Detail());
      if (++done % kProgressStep == 0 && progress &&
          !progress(static_cast<std::int64_t>(done), static_cast<std::int64_t>(track.points.size()))) {
        return Cancelled();
      }
    }
  }

  Statement contents(db, kExtendContents);
  if (!contents) return Fail(kWriteFailedMessage, db.Detail());
  contents.Real(1, extent.minX);
  contents.Real(2, extent.minY);
  contents.Real(3, extent.maxX);
  contents.Real(4, extent.maxY);
  if (!contents.Run()) return Fail(kWriteFailedMessage, db.Detail());
  return {};
}

// The schema and the track in one transaction, undone when anything fails.
Result<void> WriteInTransaction(Database& db, const ExchangeTrack& track, const Progress& progress) {
  if (!db.Execute("BEGIN IMMEDIATE")) return Fail(kWriteFailedMessage, db.Detail());
  Result<void> written = db.Execute(kSchema) ? InsertTrack(db, track, progress)
                                             : Result<void>(Fail(kWriteFailedMessage, db.Detail()));
  if (written && !db.Execute("COMMIT")) written = Fail(kWriteFailedMessage, db.Detail());
  if (!written) db.Execute("ROLLBACK");
  return written;
}

Result<void> AppendToGeoPackage(const ExchangeTrack& track, const std::string& path, const Progress& progress) {
  Database db(path);
  if (!db.Open(path)) return Fail(kCannotOpenOutputMessage, db.Detail());
  // A file that no one may write stays as it is, as with every output.
  struct stat status {};
  if (db.ReadOnly() || (::stat(path.c_str(), &status) == 0 && (status.st_mode & 0222) == 0)) {
    return Fail(kCannotOpenOutputMessage, SystemDetail(path, EACCES));
  }
  // Reading the application id is the first read of the file: a file that
  // is no database fails here.
  const int applicationId = db.Pragma("application_id");
  if (applicationId != kApplicationId) {
    return Fail(kCannotOpenOutputMessage, sqlite3_errcode(db.Handle()) != SQLITE_OK
                                              ? db.Detail()
                                              : path + ": not a GeoPackage");
  }
  return WriteInTransaction(db, track, progress);
}

// A file beside the target that the database is built in; removed with this.
class BuildFile {
 public:
  explicit BuildFile(const std::string& target) {
    const SplitPath split = SplitSystemPathOf(target);
    path_ = split.directory + "." + split.baseName + split.extension + ".build-XXXXXX";
    const int fd = ::mkostemp(path_.data(), O_CLOEXEC);
    error_ = fd < 0 ? errno : 0;
    if (fd < 0) {
      path_.clear();
    } else {
      ::close(fd);
    }
  }
  ~BuildFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  BuildFile(const BuildFile&) = delete;
  BuildFile& operator=(const BuildFile&) = delete;

  const std::string& Path() const { return path_; }
  int Error() const { return error_; }

 private:
  std::string path_;
  int error_ = 0;
};

// The bytes of the built file, through the output that puts them in place.
int CopyInto(const std::string& path, AtomicFile& output) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  std::vector<char> block(std::size_t{1} << 20);
  int error = 0;
  for (;;) {
    const ssize_t got = ::read(fd, block.data(), block.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) error = errno;
    if (got <= 0) break;
    output.Write(std::string_view(block.data(), static_cast<std::size_t>(got)));
  }
  ::close(fd);
  return error;
}

Result<void> WriteNewGeoPackage(const ExchangeTrack& track, const std::string& path, const Progress& progress) {
  AtomicFile output;
  if (Result<void> created = output.Create(path); !created) return created;
  const BuildFile build(path);
  if (build.Path().empty()) return Fail(kCannotOpenOutputMessage, SystemDetail(path, build.Error()));
  {
    Database db(path);
    if (!db.Open(build.Path())) return Fail(kCannotOpenOutputMessage, db.Detail());
    // The file is put in place whole or not at all: a journal would only
    // slow the building down.
    const std::string pragmas = "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; PRAGMA application_id = " +
                                std::to_string(kApplicationId) +
                                "; PRAGMA user_version = " + std::to_string(kUserVersion) + ";";
    if (!db.Execute(pragmas.c_str())) return Fail(kWriteFailedMessage, db.Detail());
    if (Result<void> written = WriteInTransaction(db, track, progress); !written) return written;
  }
  if (const int error = CopyInto(build.Path(), output); error != 0) {
    return Fail(kWriteFailedMessage, SystemDetail(path, error));
  }
  return output.Commit();
}

}  // namespace

Result<void> WriteGeoPackage(const TrackData& track, const std::string& path, const TrackWriterOptions& options,
                             const Progress& progress) {
  const Result<ExchangeTrack> exchange = MakeExchangeTrack(track, options);
  if (!exchange) return exchange.error();
  if (options.append && PathExists(path)) return AppendToGeoPackage(*exchange, path, progress);
  return WriteNewGeoPackage(*exchange, path, progress);
}

}  // namespace kestrel
