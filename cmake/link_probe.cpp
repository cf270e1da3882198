// The program of a link probe (cmake/layers.cmake): it runs nothing; its
// link is the check.
int main() { return 0; }
