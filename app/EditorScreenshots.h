#pragma once
// The report editor's windows for the screenshot program: the frame with two documents,
// the print preview and each dialog.
#include <QString>

bool SaveEditorWindows(const QString& folder);
