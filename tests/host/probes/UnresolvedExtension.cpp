// A library that cannot be loaded with RTLD_NOW: it calls a function that nothing defines.
void functionNobodyDefines();

extern "C" void callTheMissingFunction()
{
    functionNobodyDefines();
}
