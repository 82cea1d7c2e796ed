#include "present/Translation.h"

#include <atomic>

namespace qxr {

namespace {

std::atomic<Translator> installed{nullptr};

}  // namespace

void SetTranslator(Translator translator)
{
    installed.store(translator);
}

std::string Translated(const char* context, const char* text)
{
    const Translator translator = installed.load();
    return translator ? translator(context, text) : std::string(text);
}

}  // namespace qxr
