#pragma once
// Binds the skin data's two seams to the class library's screen: the forms
// told about a skin change are Screen's forms (front to back), and the
// skin's cursors go into Screen's cursor table. The program installs this
// once at start-up; tests may install their own stand-ins instead.
#include "skin/core/SkinSeams.h"

// Installs the screen-backed seams (again after someone replaced them).
void InstallScreenSkinSeams();
// The seams themselves, for code that wraps them.
TspSkinFormSystem* ScreenSkinFormSystem();
TspSkinCursorTable* ScreenSkinCursorTable();
