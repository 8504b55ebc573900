// This program's version string: the about box, the first diagnostic line of a run, and
// "VersionInfo" in the settings file.
#pragma once

constexpr const char* PROGRAM_VERSION = "Kivora 3.74 2026/10/31";
