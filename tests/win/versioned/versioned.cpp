// Does nothing: it exists to carry the version resource the version tests read.
int main() {
    return 0;
}
