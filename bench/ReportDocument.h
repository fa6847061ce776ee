#pragma once
// A merged report built in code for the benchmarks: per page a heading, paragraphs of mixed
// formats with tabs and a framed total, and a payment table of 12 rows by 5 columns (about
// 10 KB of RTF a page).
#include <string>

#include "editor/richtext/Document.h"

namespace qv::bench {

using namespace qv::richtext;

inline Document Report(int pages) {
  Document d;
  CharFormat plain, bold, italic, heading;
  bold.bold = true;
  italic.italic = true;
  italic.color = Color{0, 0, 128};
  heading.bold = true;
  heading.sizeHalfPoints = 32;
  heading.font = "Arial";
  auto run = [](const std::string& text, const CharFormat& f) {
    TextRun r;
    r.text = text;
    r.format = f;
    return r;
  };
  for (int page = 1; page <= pages; ++page) {
    Paragraph h;
    h.format.alignment = Alignment::Center;
    h.format.pageBreakBefore = page > 1;
    h.runs.push_back(run("Lease Worksheet, deal " + std::to_string(page), heading));
    d.blocks.push_back(h);
    for (int k = 0; k < 6; ++k) {
      Paragraph p;
      p.format.spaceAfter = 120;
      p.format.tabs = {{4320, TabKind::Right, TabLeader::Dots}, {7200, TabKind::Decimal, TabLeader::None}};
      p.runs.push_back(run("Selling price of the vehicle with its options and the dealer's margin", plain));
      p.runs.push_back(run("\t$24,995.00\t", bold));
      p.runs.push_back(run(" caf\xC3\xA9 \xE2\x82\xAC rebate applied to the capitalised cost, see the notes.", italic));
      d.blocks.push_back(p);
    }
    Paragraph total;
    total.format.borders.top = total.format.borders.bottom = BorderLine{BorderStyle::Single, 15, 40, std::nullopt};
    total.runs.push_back(run("Monthly payment with tax\t$412.50", bold));
    d.blocks.push_back(total);
    Table t;
    for (int r = 0; r < 12; ++r) {
      TableRow row;
      row.gap = 108;
      for (int c = 0; c < 5; ++c) {
        TableCell cell;
        cell.rightEdge = 1800 * (c + 1);
        cell.top = cell.bottom = cell.left = cell.right = BorderLine{BorderStyle::Single, 10, 0, std::nullopt};
        Paragraph p;
        p.format.alignment = c ? Alignment::Right : Alignment::Left;
        p.runs.push_back(run(c ? "$" + std::to_string(300 + r * 7 + c) + ".25" : std::to_string(24 + r * 6) + " months",
                             r ? plain : bold));
        cell.paragraphs.push_back(p);
        row.cells.push_back(cell);
      }
      t.rows.push_back(row);
    }
    d.blocks.push_back(t);
  }
  Normalize(d);
  return d;
}

}  // namespace qv::bench
