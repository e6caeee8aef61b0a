#pragma once
#include "framework/application.h"

// The installer's application object: start-up, the self-update hand-over and
// the single-instance guard.
class CInstallerApp : public framework::Application {
 public:
  CInstallerApp();
  bool InitInstance() override;
};
