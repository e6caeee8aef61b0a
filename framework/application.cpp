#include "framework/application.h"

namespace framework {

Application::Application() = default;
Application::~Application() = default;

bool Application::InitInstance() {
  if (restartManagerSupportFlags & 1) RegisterApplicationRestart(argumentText_.c_str(), 0);
  return true;
}

int Application::Run(const wchar_t* argumentText) {
  argumentText_ = argumentText ? argumentText : L"";
  InitInstance();
  return 0;
}

}  // namespace framework
