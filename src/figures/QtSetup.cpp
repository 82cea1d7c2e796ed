#include "figures/QtSetup.h"

#include <clocale>

#include <QCoreApplication>

#include "present/Translation.h"

namespace {

std::string Translate(const char* context, const char* text)
{
    return QCoreApplication::translate(context, text).toStdString();
}

}  // namespace

void SetUpForQt()
{
    std::setlocale(LC_NUMERIC, "C");
    qxr::SetTranslator(Translate);
}
