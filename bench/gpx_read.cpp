// Reads the first track of a GPX file as the program does, in two passes:
// the listing, then the points of the track into an array of its size.
// Prints the number of points read; bench/run times it and takes its peak
// memory.
//   gpx_read FILE

#include <cstdio>
#include <vector>

#include "gpx/gpx_reader.h"

int main(int argc, char** argv) {
  using namespace kestrel;
  if (argc != 2) {
    std::fprintf(stderr, "usage: gpx_read FILE\n");
    return 2;
  }
  Result<FileSource> file = OpenFileSource(argv[1]);
  if (!file) return 1;
  const Result<GpxContents> listing = ReadGpx(*file);
  if (!listing || listing->tracks.empty()) return 1;
  std::vector<TrackPoint> points(static_cast<std::size_t>(listing->tracks.front().pointCount));
  if (!ReadGpx(*file, 0, points)) return 1;
  std::printf("%zu\n", points.size());
  return 0;
}
