// The scenario runner (under construction).
int main() { return 0; }
