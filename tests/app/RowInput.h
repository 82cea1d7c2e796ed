#pragma once

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "pages/DialogTab.h"
#include "pages/SymbolControls.h"

// The row of a page that shows the named symbol.
inline const CDialogTabRow& RowOf(const CDialogTab& page, const QString& name)
{
    for (const CDialogTabRow& row : page.Rows()) {
        if (row.symbolName == name)
            return row;
    }
    ADD_FAILURE() << "no row " << name.toStdString();
    return page.Rows().front();
}

// Types as a user does: the reports are posted, so let them arrive.
inline void Type(QWidget* control, const QString& text)
{
    auto* edit = qobject_cast<QLineEdit*>(control);
    if (auto* combo = qobject_cast<QComboBox*>(control))
        edit = combo->lineEdit();
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QCoreApplication::processEvents();
}
