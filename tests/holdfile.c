/* Holds the file named by its argument open, as another program may, sharing read and write but not
   delete, until its standard input ends; prints "held" once it holds it. The installer test builds it
   for Windows. */
#include <stdio.h>
#include <windows.h>
int main(int argc, char **argv)
{
    HANDLE file = argc == 2 ? CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                          OPEN_EXISTING, 0, NULL)
                            : INVALID_HANDLE_VALUE;
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    puts("held");
    fflush(stdout);
    getchar(); /* until standard input ends */
    CloseHandle(file);
    return 0;
}
