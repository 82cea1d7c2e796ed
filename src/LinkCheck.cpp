// Links one core layer whole with the layers below it; see src/CMakeLists.txt.
int main()
{
    return 0;
}
