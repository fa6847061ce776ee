// Reading the guide sources and writing the shipped files from them.
#include "pricing/gen/GuideSource.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>

#include "engine/NumText.h"
#include "engine/Runtime.h"
#include "platform/files/AtomicFile.h"

namespace qv::pricing::gen {

namespace {

const std::string kCRLF = "\r\n";

std::vector<std::string> SplitFields(const std::string& s) {
  std::vector<std::string> out;
  size_t at = 0;
  for (;;) {
    const size_t bar = s.find('|', at);
    std::string f = Trim(s.substr(at, bar == std::string::npos ? std::string::npos : bar - at));
    // A field in double quotes keeps its blanks ("Sport Group includes: ").
    if (f.size() >= 2 && f.front() == '"' && f.back() == '"') f = f.substr(1, f.size() - 2);
    out.push_back(std::move(f));
    if (bar == std::string::npos) break;
    at = bar + 1;
  }
  return out;
}

bool ToNumber(const std::string& s, double& v) {
  if (s.empty()) return false;
  char* end = nullptr;
  v = std::strtod(s.c_str(), &end);
  return end && *end == '\0';
}

// A statement of a source file: "keyword: rest".
struct Statement {
  int lineNo = 0;
  std::string keyword;
  std::string rest;
};

std::vector<Statement> Statements(const std::string& text) {
  std::vector<Statement> out;
  const std::vector<std::string> lines = SplitLines(text);
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string l = lines[i];
    size_t first = l.find_first_not_of(" \t");
    if (first == std::string::npos || l[first] == '#') continue;
    Statement s;
    s.lineNo = static_cast<int>(i + 1);
    const size_t colon = l.find(':');
    if (colon == std::string::npos) {
      s.keyword = Trim(l.substr(first));
    } else {
      s.keyword = Trim(l.substr(first, colon - first));
      s.rest = l.substr(colon + 1);
      // Only the blank after the colon goes; a text keeps its own inner blanks.
      const size_t b = s.rest.find_first_not_of(' ');
      s.rest = b == std::string::npos ? std::string() : s.rest.substr(b);
      while (!s.rest.empty() && (s.rest.back() == ' ' || s.rest.back() == '\t')) s.rest.pop_back();
    }
    out.push_back(std::move(s));
  }
  return out;
}

std::string Num(double v) { return GeneralNumber(v); }

void AppendIndexRecord(std::string& ndx, int64_t pos) {
  const uint32_t u = static_cast<uint32_t>(static_cast<int32_t>(pos));
  for (int b = 0; b < 4; ++b) ndx += static_cast<char>((u >> (8 * b)) & 0xFF);
}

std::string Fit(std::string s, size_t n) {
  s.resize(n, ' ');
  return s;
}

std::string RightIn(const std::string& s, size_t n) {
  if (s.size() >= n) return s.substr(0, n);
  return std::string(n - s.size(), ' ') + s;
}

}  // namespace

bool ParseGuideSource(const std::string& text, const std::string& name, GuideSource& out, std::string& error) {
  out = GuideSource{};
  std::map<std::string, SourceVehicleLine> sets;  // options and equipment only
  SourceVehicleLine* setInProgress = nullptr;
  auto fail = [&](const Statement& s, const std::string& what) {
    error = name + ":" + std::to_string(s.lineNo) + ": " + what;
    return false;
  };
  // Where option and equipment lines go: the open set, else the last vehicle line.
  auto target = [&]() -> SourceVehicleLine* {
    if (setInProgress) return setInProgress;
    if (out.lines.empty() || out.lines.back().blank) return nullptr;
    return &out.lines.back();
  };

  for (const Statement& s : Statements(text)) {
    const std::vector<std::string> f = SplitFields(s.rest);
    if (s.keyword == "vehicle") {
      if (setInProgress) return fail(s, "vehicle inside a set");
      if (f.size() < 4 || f.size() > 5) return fail(s, "vehicle needs year | maker | line | destination");
      SourceVehicleLine v;
      v.year = f[0];
      v.maker = f[1];
      v.line = f[2];
      if (!ToNumber(f[3], v.dest)) return fail(s, "bad destination charge");
      if (f.size() == 5 && !ToNumber(f[4], v.extra)) return fail(s, "bad extra number");
      out.lines.push_back(std::move(v));
    } else if (s.keyword == "blank") {
      SourceVehicleLine v;
      v.blank = true;
      out.lines.push_back(std::move(v));
    } else if (s.keyword == "model") {
      if (setInProgress || out.lines.empty() || out.lines.back().blank) return fail(s, "model outside a vehicle");
      out.lines.back().models.push_back({s.rest, {}});
    } else if (s.keyword == "type") {
      if (setInProgress || out.lines.empty() || out.lines.back().models.empty())
        return fail(s, "type outside a model");
      if (f.size() < 3 || f.size() > 4) return fail(s, "type needs name | invoice | MSRP");
      SourceType t;
      t.name = f[0];
      if (!ToNumber(f[1], t.invoice) || !ToNumber(f[2], t.msrp)) return fail(s, "bad amount");
      if (f.size() == 4 && !ToNumber(f[3], t.fifth)) return fail(s, "bad fifth number");
      out.lines.back().models.back().types.push_back(std::move(t));
    } else if (s.keyword == "option") {
      SourceVehicleLine* v = target();
      if (!v) return fail(s, "option outside a vehicle or set");
      if (f.size() < 4 || f.size() > 5) return fail(s, "option needs group | description | invoice | MSRP");
      SourceOption o;
      o.group = f[0];
      o.description = f[1];
      if (!ToNumber(f[2], o.code) || !ToNumber(f[3], o.msrp)) return fail(s, "bad amount");
      if (f.size() == 5 && !ToNumber(f[4], o.extra)) return fail(s, "bad last number");
      v->options.push_back(std::move(o));
    } else if (s.keyword == "equipment") {
      SourceVehicleLine* v = target();
      if (!v) return fail(s, "equipment outside a vehicle or set");
      v->equipment.push_back(s.rest);
    } else if (s.keyword == "set") {
      if (setInProgress) return fail(s, "set inside a set");
      if (s.rest.empty() || sets.count(s.rest)) return fail(s, "set needs a new name");
      setInProgress = &sets[s.rest];
    } else if (s.keyword == "end") {
      if (!setInProgress) return fail(s, "end without set");
      setInProgress = nullptr;
    } else if (s.keyword == "use") {
      if (setInProgress || out.lines.empty() || out.lines.back().blank) return fail(s, "use outside a vehicle");
      auto it = sets.find(s.rest);
      if (it == sets.end()) return fail(s, "unknown set \"" + s.rest + "\"");
      SourceVehicleLine& v = out.lines.back();
      v.options.insert(v.options.end(), it->second.options.begin(), it->second.options.end());
      v.equipment.insert(v.equipment.end(), it->second.equipment.begin(), it->second.equipment.end());
    } else {
      return fail(s, "unknown statement \"" + s.keyword + "\"");
    }
  }
  if (setInProgress) {
    error = name + ": a set is not ended";
    return false;
  }
  return true;
}

std::vector<GuideFile> BuildGuideFiles(const GuideSource& src) {
  std::string manuf, modelTxt, modelNdx, typeTxt, typeNdx, optTxt, optNdx, seTxt, seNdx;
  int64_t typeBlock = 0;
  for (size_t i = 0; i < src.lines.size(); ++i) {
    const SourceVehicleLine& v = src.lines[i];
    const int64_t n = static_cast<int64_t>(i + 1);
    if (v.blank) {
      manuf += kCRLF;
    } else {
      manuf += v.maker + "|" + v.year + "|" + v.line + "|" + Num(v.dest) + "|" + Num(v.extra) + kCRLF;
    }

    AppendIndexRecord(modelNdx, v.models.empty() ? 0 : static_cast<int64_t>(modelTxt.size()) + 1);
    for (const SourceModel& m : v.models) {
      ++typeBlock;
      modelTxt += m.name + "|" + std::to_string(n) + "|" + std::to_string(typeBlock) + kCRLF;
      AppendIndexRecord(typeNdx, m.types.empty() ? 0 : static_cast<int64_t>(typeTxt.size()) + 1);
      for (const SourceType& t : m.types) {
        typeTxt += t.name + "|" + Num(t.invoice) + "|" + Num(t.msrp) + "|" + std::to_string(typeBlock) + "|" +
                   Num(t.fifth) + kCRLF;
      }
    }

    AppendIndexRecord(optNdx, v.options.empty() ? 0 : static_cast<int64_t>(optTxt.size()) + 1);
    for (const SourceOption& o : v.options) {
      optTxt += o.group + "|" + o.description + "|" + Num(o.code) + "|" + Num(o.msrp) + "|" + std::to_string(n) +
                "|" + Num(o.extra) + kCRLF;
    }

    AppendIndexRecord(seNdx, v.equipment.empty() ? 0 : static_cast<int64_t>(seTxt.size()) + 1);
    if (!v.equipment.empty()) {
      std::string line;
      for (const std::string& item : v.equipment) line += item + "; ";
      seTxt += line + kCRLF;
    }
  }
  return {{"MANUF.TXT", manuf},   {"Model.txt", modelTxt}, {"Model.ndx", modelNdx},
          {"Type.txt", typeTxt},   {"Type.ndx", typeNdx},   {"Options.txt", optTxt},
          {"Options.ndx", optNdx}, {"MajorSE.txt", seTxt},  {"MajorSE.ndx", seNdx}};
}

bool ParseResidualSource(const std::string& text, const std::string& name, std::vector<ResidualYear>& out,
                         std::string& error) {
  out.clear();
  int headers = 0;
  bool gap = false;
  auto fail = [&](const Statement& s, const std::string& what) {
    error = name + ":" + std::to_string(s.lineNo) + ": " + what;
    return false;
  };
  auto terms = [&](const std::vector<std::string>& f, size_t from, SourceResidualLine& l) {
    if (f.size() != from + 4) return false;
    for (size_t t = 0; t < 4; ++t) {
      double v;
      if (!ToNumber(f[from + t], v)) return false;
      l.terms[t] = f[from + t];
    }
    return true;
  };
  for (const Statement& s : Statements(text)) {
    const std::vector<std::string> f = SplitFields(s.rest);
    if (s.keyword == "year") {
      if (s.rest.size() != 4) return fail(s, "year needs four digits");
      out.push_back({});
      out.back().year = s.rest;
      headers = 0;
      continue;
    }
    if (out.empty()) return fail(s, "statement before the first year");
    ResidualYear& y = out.back();
    if (s.keyword == "header") {
      if (headers >= 2) return fail(s, "more than two header lines");
      y.headers[static_cast<size_t>(headers++)] = s.rest;
      continue;
    }
    if (s.keyword == "gap") {
      gap = true;
      continue;
    }
    if (s.keyword == "maker") {
      if (s.rest.empty()) return fail(s, "maker needs a name");
      y.makers.push_back({s.rest, gap, {}});
      gap = false;
      continue;
    }
    if (y.makers.empty()) return fail(s, "line before the first maker");
    SourceResidualLine l;
    if (s.keyword == "model") {
      if (f.size() != 2) return fail(s, "model needs code | name");
      l.kind = "  1";
      l.code = f[0];
      l.description = f[1];
    } else if (s.keyword == "trim") {
      l.kind = "  2";
      l.description = "    " + f[0];  // indented: not a group line of the list
      if (!terms(f, 1, l)) return fail(s, "trim needs name | 24 | 36 | 48 | 60");
    } else if (s.keyword == "option") {
      if (f.size() != 4) return fail(s, "option needs code | name | value | value");
      l.kind = " 20";
      l.code = f[0];
      l.description = f[1];
      l.value6 = f[2];
      l.value7 = f[3];
    } else if (s.keyword == "add" || s.keyword == "addline" || s.keyword == "deductline") {
      l.kind = s.keyword == "add" ? "ADD" : s.keyword == "addline" ? "190" : "200";
      l.description = f.empty() ? std::string() : f[0];
      // An "ADD" line is listed like a model line: indented, so that it is no group line.
      if (s.keyword == "add") l.description = "    " + l.description;
      if (!terms(f, 1, l)) return fail(s, s.keyword + " needs name | 24 | 36 | 48 | 60");
    } else if (s.keyword == "eaa" || s.keyword == "eda") {
      l.kind = s.keyword == "eaa" ? "EAA" : "EDA";
      if (f.size() != 6) return fail(s, s.keyword + " needs name | note | 24 | 36 | 48 | 60");
      l.description = f[0] + "|" + f[1];
      if (!terms(f, 2, l)) return fail(s, "bad points");
    } else {
      return fail(s, "unknown statement \"" + s.keyword + "\"");
    }
    y.makers.back().lines.push_back(std::move(l));
  }
  return true;
}

std::vector<GuideFile> BuildResidualFiles(const ResidualYear& year) {
  std::string dr1 = year.headers[0] + kCRLF + year.headers[1] + kCRLF;
  std::string rv1;
  int64_t record = 0;
  for (size_t m = 0; m < year.makers.size(); ++m) {
    const SourceResidualMaker& maker = year.makers[m];
    if (maker.gapBefore) dr1 += kCRLF;
    dr1 += Fit(maker.name, 17) + RightIn(std::to_string(record + 1), 4) + kCRLF;
    int seq = 0;
    for (const SourceResidualLine& l : maker.lines) {
      ++record;
      ++seq;
      std::string r;
      r += RightIn(std::to_string(m + 1), 3);
      r += RightIn(std::to_string(seq % 1000), 3);
      r += Fit(l.kind, 3);
      r += Fit(l.code, 6);
      r += Fit(l.description, 25);
      r += RightIn(l.value6, 7);
      r += RightIn(l.value7, 7);
      r += std::string(2 + 6, ' ');
      for (const std::string& t : l.terms) r += RightIn(t, 6);
      r += std::string(1 + 27, ' ');
      rv1 += r;
    }
  }
  const std::string yy = year.year.substr(year.year.size() - 2);
  return {{"ALG" + yy + ".DR1", dr1}, {"ALG" + yy + ".RV1", rv1}};
}

GuideSource SyntheticGuide(int vehicleLines, int models, int typesPerModel, int options) {
  GuideSource g;
  for (int i = 1; i <= vehicleLines; ++i) {
    SourceVehicleLine v;
    v.year = i % 3 == 0 ? "1998" : i % 3 == 1 ? "2000" : "1999";
    v.maker = "Maker" + std::to_string(i % 17);
    v.line = "Line " + std::to_string(i);
    v.dest = 400 + i % 300;
    for (int m = 1; m <= models; ++m) {
      SourceModel sm;
      sm.name = "Model " + std::to_string(m);
      for (int t = 1; t <= typesPerModel; ++t) {
        if (t % 10 == 1) sm.types.push_back({"<B>Group " + std::to_string(t) + "<B>", -555, 0, 0});
        const double msrp = 15000 + 37.0 * t + 500.0 * m;
        sm.types.push_back({"Type " + std::to_string(t) + " 4dr", std::round(msrp * 0.91), msrp, 0});
      }
      v.models.push_back(std::move(sm));
    }
    for (int o = 1; o <= options; ++o) {
      static const double codes[] = {0, -888, -777, -666, -555};
      const double code = o % 9 < 5 ? codes[o % 9] : 100.0 + o;
      v.options.push_back({"Group " + std::to_string(o / 25), "Option " + std::to_string(o) + " with a description",
                           code, code > 0 ? code * 1.15 : 0, 0});
    }
    v.equipment.push_back("<B>Powertrain<B>Standard: engine " + std::to_string(i));
    g.lines.push_back(std::move(v));
  }
  return g;
}

ResidualYear SyntheticResidualYear(int makers, int recordsPerMaker) {
  ResidualYear y;
  y.year = "2000";
  y.headers = {"SYNTHETIC RESIDUAL GUIDE", "FOR TIMING"};
  for (int m = 1; m <= makers; ++m) {
    SourceResidualMaker mk;
    mk.name = "MAKER " + std::to_string(m);
    for (int r = 0; r < recordsPerMaker; ++r) {
      SourceResidualLine l;
      switch (r % 8) {
        case 0:
          l.kind = "  1";
          l.code = "M" + std::to_string(r);
          l.description = "MODEL " + std::to_string(r);
          break;
        case 1:
        case 2:
          l.kind = "  2";
          l.description = "    TRIM " + std::to_string(r);
          l.terms = {"60", "53", "45", "38"};
          break;
        case 3:
          l.kind = " 20";
          l.code = "OP" + std::to_string(r % 100);
          l.description = "OPTION " + std::to_string(r);
          l.value6 = "350";
          l.value7 = "425";
          break;
        case 4:
          l.kind = "ADD";
          l.description = "    ADDED ITEM";
          l.terms = {"2", "2", "1", "1"};
          break;
        case 5:
          l.kind = "EAA";
          l.description = "AIR|NOTE";
          l.terms = {"3", "3", "2", "2"};
          break;
        case 6:
          l.kind = "190";
          l.description = "ADD LINE";
          l.terms = {"1", "1", "1", "1"};
          break;
        default:
          l.kind = "200";
          l.description = "DEDUCT LINE";
          l.terms = {"2", "2", "2", "2"};
          break;
      }
      mk.lines.push_back(std::move(l));
    }
    y.makers.push_back(std::move(mk));
  }
  return y;
}

bool WriteFiles(const std::vector<GuideFile>& files, const std::string& folder, const std::string& prefix,
                std::string& error) {
  std::string dir = folder;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  for (const GuideFile& f : files) {
    if (!files::WriteFileAtomic(dir + prefix + f.name, f.content, &error)) return false;
  }
  return true;
}

}  // namespace qv::pricing::gen
