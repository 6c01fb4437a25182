// The callback table: the panel file names callbacks, the application
// registers the functions behind those names before loading the panel.
#pragma once

#include <string>

#include "runtime/core/events.h"

namespace rt {

struct CallbackBinding {
  const char *name;
  CtrlCallbackPtr function;
};

void RegisterCallback(const std::string &name, CtrlCallbackPtr function);
void RegisterCallbacks(const CallbackBinding *table, int count);
// nullptr when nothing is registered under that name.
CtrlCallbackPtr FindCallback(const std::string &name);
void ClearCallbacks();

} // namespace rt
