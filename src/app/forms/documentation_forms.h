// Installs the drawing documentation dialogs (change record, drawing information, document
// setup, drawing texts) into the documentation commands. The main window calls it once at start.
#pragma once

void InstallDocumentationForms();
