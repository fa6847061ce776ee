#pragma once
// Placeholder; the grid widget is being written.
#include <QWidget>
#include "platform/grid/Workbook.h"
namespace qv::grid { class GridWidget : public QWidget { Q_OBJECT public: using QWidget::QWidget; }; }
