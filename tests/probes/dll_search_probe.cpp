// An empty DLL beside the platform tests: where the program's folder is searched, it loads.
int OstraDllSearchProbe() { return 0; }
