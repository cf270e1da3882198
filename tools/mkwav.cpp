// WAV generator (under construction).
int main() { return 0; }
