#include "ui/application.h"
#include "ui/main_form.h"
#include "ui/prompts.h"

int main(int argc, char **argv) {
  tarnwick::TApplication app(argc, argv);
  tarnwick::QtPrompts prompts;
  tarnwick::TMainForm form(prompts);
  form.CreateDialogs();
  form.show();
  return app.exec();
}
