// Registers the game's resources with the framework: menus, accelerators, hints,
// dialog templates, toolbar bitmaps and the icon. Called once at start.
#pragma once

void AddGameResources();

// The parts, each in its own file.
void AddAboutDialogResource();
void AddMenuResources();
void AddHintStrings();
void AddPreviewDialogResource();
void AddEmptyDialogResource();
