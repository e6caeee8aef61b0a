#include "framework/application.h"

#include "framework/command_line_text.h"

namespace framework {
namespace {
Application* current = nullptr;
}

Application::Application() { current = this; }
Application::~Application() {
  if (current == this) current = nullptr;
}

Application* Application::Current() { return current; }

bool Application::InitInstance() {
  if (restartManagerSupportFlags & 1) RegisterApplicationRestart(argumentText_.c_str(), 0);
  return true;
}

int Application::Run() {
  argumentText_ = ArgumentTextOf(GetCommandLineW());
  InitInstance();
  return 0;
}

}  // namespace framework
