// Linked with every object of the platform library and only the libraries
// the platform wraps (see CMakeLists.txt): it builds only while the platform
// needs nothing of the layers above it.
int main() { return 0; }
