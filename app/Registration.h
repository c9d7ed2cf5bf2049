#pragma once
// Makes every control class of every library known to the layout loader by its class name. The program
// calls it before the first window is created; tests that load the editor's layouts call it too.

void RegisterEditorClasses();

// Creates the editor's windows, each once, in their order; the first is the application's main window.
// Windows of features not built yet are left out of the order.
void CreateEditorWindows();
