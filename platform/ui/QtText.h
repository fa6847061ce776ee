#pragma once
// Text crosses between the engine (UTF-8 std::string) and the windows (QString) here, and
// lengths given in twips of the old window layout become pixels here.
#include <QString>

#include <string>

namespace qv {

inline QString Q(const std::string& s) { return QString::fromStdString(s); }
inline std::string S(const QString& s) { return s.toStdString(); }

// Twips to pixels (15 twips a pixel).
constexpr int Px(int twips) { return (twips + 7) / 15; }

}  // namespace qv
