/* Prints what Windows reads from a program's resources: its version
   information, through GetFileVersionInfoA and VerQueryValueA as Explorer's
   Details tab does, and the application manifest it is started with.
   Fails when either is missing.

     version-info.exe PROGRAM

   Built by CMake with the Wine rig's programs; .ci/run runs it on
   dorvane.exe under Wine. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

static const char *const kStrings[] = {
    "ProductName",  "ProductVersion",   "FileDescription", "FileVersion",
    "InternalName", "OriginalFilename", "CompanyName",     "LegalCopyright",
};

static int PrintVersion(const char *program) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(program, &ignored);
  if (size == 0) {
    printf("no version information (error %lu)\n", GetLastError());
    return 0;
  }
  void *info = malloc(size);
  if (info == NULL || !GetFileVersionInfoA(program, 0, size, info)) {
    printf("version information unreadable (error %lu)\n", GetLastError());
    free(info);
    return 0;
  }
  VS_FIXEDFILEINFO *fixed = NULL;
  UINT length = 0;
  if (VerQueryValueA(info, "\\", (void **)&fixed, &length) &&
      length >= sizeof *fixed) {
    printf("%-17s %u.%u.%u.%u\n", "FILEVERSION", HIWORD(fixed->dwFileVersionMS),
           LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
           LOWORD(fixed->dwFileVersionLS));
    printf("%-17s %u.%u.%u.%u\n", "PRODUCTVERSION",
           HIWORD(fixed->dwProductVersionMS), LOWORD(fixed->dwProductVersionMS),
           HIWORD(fixed->dwProductVersionLS),
           LOWORD(fixed->dwProductVersionLS));
  }
  /* The strings live under the first language and code page listed. */
  WORD *translation = NULL;
  if (!VerQueryValueA(info, "\\VarFileInfo\\Translation", (void **)&translation,
                      &length) ||
      length < 2 * sizeof(WORD)) {
    printf("no translation table\n");
    free(info);
    return 0;
  }
  printf("%-17s %04x %u\n", "Translation", translation[0], translation[1]);
  for (size_t i = 0; i < sizeof kStrings / sizeof kStrings[0]; ++i) {
    char path[96];
    char *value = NULL;
    snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\%s",
             translation[0], translation[1], kStrings[i]);
    if (VerQueryValueA(info, path, (void **)&value, &length) && length > 0) {
      printf("%-17s %s\n", kStrings[i], value);
    } else {
      printf("%-17s (missing)\n", kStrings[i]);
    }
  }
  free(info);
  return 1;
}

static int PrintManifest(const char *program) {
  HMODULE module = LoadLibraryExA(program, NULL, LOAD_LIBRARY_AS_DATAFILE);
  if (module == NULL) {
    printf("cannot load as data (error %lu)\n", GetLastError());
    return 0;
  }
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), RT_MANIFEST);
  HGLOBAL loaded = found != NULL ? LoadResource(module, found) : NULL;
  const char *text = loaded != NULL ? LockResource(loaded) : NULL;
  if (text == NULL) {
    printf("no manifest (resource 1 of type 24)\n");
    FreeLibrary(module);
    return 0;
  }
  printf("manifest (resource 1 of type 24, %lu bytes):\n",
         SizeofResource(module, found));
  fwrite(text, 1, SizeofResource(module, found), stdout);
  FreeLibrary(module);
  return 1;
}

int main(int argc, char **argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: version-info PROGRAM\n");
    return 2;
  }
  int ok = PrintVersion(argv[1]);
  ok &= PrintManifest(argv[1]);
  return ok ? 0 : 1;
}
