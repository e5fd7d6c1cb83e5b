#pragma once
// Creates the tool panels for statistics, normalize, crop, Tool 2 and Gauss/Voigt and hands
// them to the tool host under their commands.
class QWidget;
class TToolHost;

// The panels are created hidden, as children of Parent (the main window), which owns them.
void InstallToolPanels(TToolHost &Host, QWidget *Parent);
