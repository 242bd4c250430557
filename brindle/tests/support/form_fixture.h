#pragma once
// A main window with scripted dialogs and a private folder for its pictures.
#include <QString>
#include <string>

#include "app/mainform.h"
#include "support/fake_dialogs.h"
#include "support/fixtures.h"

struct FormFixture {
  brindle::test::TempDir dir;
  FakeDialogs dialogs;
  TMainForm form{&dialogs};

  QString path(const std::string& name) const { return QString::fromStdString((dir / name).string()); }
  void open(const std::string& name) { form.OpenFromCommandLine(path(name)); }
};
