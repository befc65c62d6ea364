// Gadget windows told to screen readers (private to the framework).
#pragma once

// Lets Qt make the accessible objects of gadget windows; once is enough.
void InstallBarAccessibility();
