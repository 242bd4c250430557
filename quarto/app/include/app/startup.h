#pragma once
// Start-up and the message loop of the plot viewer.
#include <QStringList>
#include <memory>

namespace quarto {

class Form1;
class UiSeams;

// Creates the four windows (Form1, then the hidden Form2, Form3, Form4), opens the file named by
// the first argument (the second may be the window @X1:Y1_X2:Y2), applies the interface language
// and the layer colours. No window is shown yet. When the command-line file cannot be read, the
// "Application Error" box names the error and the result is null: the program ends with exit code 1.
// seams: the dialogs and boxes of the windows (nullptr: the real ones); the caller keeps them alive.
std::unique_ptr<Form1> StartUp(const QStringList& args, UiSeams* seams = nullptr);

// StartUp, then shows the main window and runs the message loop; returns the exit code.
int RunQuarto(const QStringList& args, UiSeams* seams = nullptr);

}  // namespace quarto
