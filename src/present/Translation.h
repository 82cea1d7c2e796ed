#pragma once

#include <string>

// The few words this layer writes itself ("none", "n/a") reach the user in
// the language of the front end that shows them: a Qt program installs its
// translator once at start; without one the words stay as written.
namespace qxr {

using Translator = std::string (*)(const char* context, const char* text);

void SetTranslator(Translator translator);
std::string Translated(const char* context, const char* text);

}  // namespace qxr
