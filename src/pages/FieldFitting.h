#pragma once

#include <QString>

class QLineEdit;

// The width a line edit needs to show text whole in its own font and style.
int LineEditWidthFor(const QLineEdit& field, const QString& text);

// Widens a field placed by a template so that its longest possible text is
// never cut: first to the right, then to the left, each as far as the
// controls beside it on its line and the group box around it leave room.
// Returns whether the text fits now.
bool FitFieldToText(QLineEdit& field, const QString& longest);
