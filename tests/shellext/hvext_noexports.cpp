// A shared library without the registration exports, for the registration tool's tests.
extern "C" int HvExtTestNothingHere()
{
    return 0;
}
