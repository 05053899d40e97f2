#pragma once

// Symbols of HVGlobalMFC are hidden by default; the public API carries this mark.
#if defined(__GNUC__) || defined(__clang__)
#define HVGLOBALMFC_API __attribute__((visibility("default")))
#else
#define HVGLOBALMFC_API
#endif
