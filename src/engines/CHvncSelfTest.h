#pragma once

#include <string>
#include <string_view>

// Known-answer tests of the primitives the ".hvnc" format rests on, run before a program touches
// any data: AES-128/192/256-GCM (published GCM test vectors with 96-bit nonces, sealed and
// opened through the engine's own cipher wrapper, and a damaged tag that must be refused),
// Argon2id (through the engine's key derivation, against a fixed answer), HMAC-SHA-256 and
// HKDF-SHA-256 (the key commitment) and SHA-256 (the header check). A library that computes any
// of them wrongly would write files nobody can open again, or accept damaged ones.
class CHvncSelfTest
{
public:
    // Runs the tests once per process; later calls give the first result. On failure
    // strFailure names the test that failed (never a secret). True when all passed.
    [[nodiscard]] static bool Run(std::string& strFailure);

    // Runs every test now, without the once-per-process memory.
    [[nodiscard]] static bool RunAll(std::string& strFailure);

    // Test seam: the expected answer of the named test ("AES-256-GCM #2", "Argon2id",
    // "SHA-256 #1", ...; "" for none) is taken with one bit flipped, as a wrong vector or a
    // broken library would give. Also forgets the result Run() remembered.
    static void SetBrokenVectorForTest(std::string_view strName);
};
