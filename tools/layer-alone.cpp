// Linked with one library's objects whole and only the libraries below it
// (see paipan_check_layer): the link is the check, this program never runs.
int main() { return 0; }
