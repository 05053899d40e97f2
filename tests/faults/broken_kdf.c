// Preloaded into a program by the self-test tests: libsodium's Argon2 gives a wrong answer (its
// first byte flipped), as a broken or tampered library would. The program must refuse to work.
#define _GNU_SOURCE 1

#include <dlfcn.h>
#include <stddef.h>
#include <string.h>

int crypto_pwhash(unsigned char* out,
                  unsigned long long outlen,
                  const char* passwd,
                  unsigned long long passwdlen,
                  const unsigned char* salt,
                  unsigned long long opslimit,
                  size_t memlimit,
                  int alg);

int crypto_pwhash(unsigned char* out,
                  unsigned long long outlen,
                  const char* passwd,
                  unsigned long long passwdlen,
                  const unsigned char* salt,
                  unsigned long long opslimit,
                  size_t memlimit,
                  int alg)
{
    typedef int (*fn_t)(unsigned char*,
                        unsigned long long,
                        const char*,
                        unsigned long long,
                        const unsigned char*,
                        unsigned long long,
                        size_t,
                        int);
    void* p = dlsym(RTLD_NEXT, "crypto_pwhash");
    fn_t real = NULL;
    memcpy(&real, &p, sizeof p);
    const int r = real != NULL ? real(out, outlen, passwd, passwdlen, salt, opslimit, memlimit, alg) : -1;
    if (r == 0 && outlen > 0) {
        out[0] ^= 1;
    }
    return r;
}
