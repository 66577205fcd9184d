// Tarnello's entry point. For now the program starts and ends at once; the
// main window takes over here as the application grows.
int main()
{
    return 0;
}
