#pragma once
// Makes every control class of every library known to the layout loader by its class name. The program
// calls it before the first window is created; tests that load the editor's layouts call it too.

void RegisterEditorClasses();
