// Build-time generator of the shipped sample guide: reads the readable sources
// (car.txt, truck.txt, residuals.txt) and writes the price-guide files of both classes and
// the residual files of every year into the program folder.
//
// Usage: qv_guidegen <source folder> <program folder>
#include <cstdio>
#include <string>

#include "platform/files/AtomicFile.h"
#include "pricing/gen/GuideSource.h"

using namespace qv::pricing::gen;

namespace {

bool Read(const std::string& path, std::string& text) {
  if (qv::files::ReadWholeFile(path, text)) return true;
  std::fprintf(stderr, "qv_guidegen: cannot read %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: qv_guidegen <source folder> <program folder>\n");
    return 2;
  }
  const std::string src = std::string(argv[1]) + "/";
  const std::string out = argv[2];
  std::string text, error;

  for (const char* cls : {"C", "T"}) {
    const std::string name = std::string(cls) == "C" ? "car.txt" : "truck.txt";
    if (!Read(src + name, text)) return 1;
    GuideSource guide;
    if (!ParseGuideSource(text, name, guide, error) || !WriteFiles(BuildGuideFiles(guide), out, cls, error)) {
      std::fprintf(stderr, "qv_guidegen: %s\n", error.c_str());
      return 1;
    }
  }

  if (!Read(src + "residuals.txt", text)) return 1;
  std::vector<ResidualYear> years;
  if (!ParseResidualSource(text, "residuals.txt", years, error)) {
    std::fprintf(stderr, "qv_guidegen: %s\n", error.c_str());
    return 1;
  }
  for (const ResidualYear& y : years) {
    if (!WriteFiles(BuildResidualFiles(y), out, "", error)) {
      std::fprintf(stderr, "qv_guidegen: %s\n", error.c_str());
      return 1;
    }
  }
  return 0;
}
