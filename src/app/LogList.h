#pragma once

#include <string>

class CDesignModel;

// What the log pane lists after a calculation: the design messages, then
// every symbol the calculation used whose value lies outside its
// recommended limits, in catalogue order. Empty when there is nothing to say.
std::u16string BuildLogList(const CDesignModel& model);
