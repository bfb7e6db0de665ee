// A program that does nothing: the build links one layer of Tinyra into it whole, with only the
// layers below it, so that a call from that layer into a higher one fails to link.
int main() {
    return 0;
}
