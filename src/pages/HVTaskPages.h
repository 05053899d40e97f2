#pragma once

// Registers the five task pages (welcome, secure-data selection, security options, hide
// management, decryption) with the main window's page registry. The graphical front end calls
// it before it builds the main window; calling it again replaces the factories by the same ones.
void HVRegisterTaskPages();
