#pragma once
// Registers the skin core's component classes for stored form descriptions.
// Safe to call more than once.
void RegisterSkinCoreClasses();
