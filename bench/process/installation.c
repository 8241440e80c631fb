#include "installation.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static int fail(const char* what, const char* path) {
  fprintf(stderr, "process_bench: %s %s: %s\n", what, path, strerror(errno));
  return -1;
}

static int copy_program(const char* from, const char* to) {
  char buffer[65536];
  ssize_t count;
  int in = open(from, O_RDONLY | O_CLOEXEC);
  if (in < 0) return fail("cannot read", from);
  int out = open(to, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0755);
  if (out < 0) {
    close(in);
    return fail("cannot write", to);
  }
  while ((count = read(in, buffer, sizeof buffer)) > 0) {
    if (write(out, buffer, (size_t)count) != count) {
      close(in);
      close(out);
      return fail("cannot write", to);
    }
  }
  close(in);
  return close(out) == 0 && count == 0 ? 0 : fail("cannot copy", from);
}

static int join(char* result, const char* directory, const char* name) {
  if (snprintf(result, PATH_MAX, "%s/%s", directory, name) < PATH_MAX) return 0;
  fprintf(stderr, "process_bench: path too long: %s/%s\n", directory, name);
  return -1;
}

int installation_create(struct installation* installation,
                        const struct programs* programs) {
  const char* tmp = getenv("TMPDIR");
  char pattern[PATH_MAX];
  snprintf(pattern, sizeof pattern, "%s/launcher-bench-XXXXXX",
           tmp != NULL && tmp[0] != '\0' ? tmp : "/tmp");
  if (mkdtemp(pattern) == NULL) return fail("cannot create", pattern);
  /* The launcher finds itself through the path it is started with; keep
   * that path free of symbolic links, as an installed one would be. */
  if (realpath(pattern, installation->root) == NULL) {
    return fail("cannot resolve", pattern);
  }
  char velmora[PATH_MAX];
  if (join(installation->launcher, installation->root, "launcher") != 0 ||
      join(installation->peer, installation->root, "launcher.sh") != 0 ||
      join(installation->floor, installation->root, "floor") != 0 ||
      join(installation->ini, installation->root, "launcher.ini") != 0 ||
      join(velmora, installation->root, "velmora") != 0 ||
      join(installation->target, velmora, "velmora") != 0) {
    return -1;
  }
  if (mkdir(velmora, 0755) != 0) return fail("cannot create", velmora);
  installation->other[0] = installation->other_ini[0] = '\0';
  if (programs->other_launcher != NULL &&
      (join(installation->other, installation->root, "other") != 0 ||
       join(installation->other_ini, installation->root, "other.ini") != 0 ||
       copy_program(programs->other_launcher, installation->other) != 0 ||
       write_typical_ini(installation->other_ini) != 0)) {
    return -1;
  }

  if (copy_program(programs->launcher, installation->launcher) != 0 ||
      copy_program(programs->peer_script, installation->peer) != 0 ||
      copy_program(programs->floor, installation->floor) != 0 ||
      copy_program(programs->target, installation->target) != 0) {
    return -1;
  }
  return write_typical_ini(installation->ini);
}

int write_typical_ini(const char* path) {
  static const char kTypical[] =
      "; Velmora Studio: settings of the launcher\n"
      "[Settings]\n"
      "ProductName=Velmora Studio\n"
      "Version=4.2.0\n"
      "VMArgs=-Xms256m\n"
      "VMArgs=-Xmx2g\n"
      "VMArgs=-Dvelmora.autosave=on\n"
      "VMArgs=-Dvelmora.splash=off\n"
      "CustomizationINI=plugin_customization.ini\n"
      "\n"
      "[Environment Variables]\n"
      "; the bundled runtime comes first\n"
      "VELMORA_HOME=<CURRDIR>velmora\n"
      "VELMORA_WORKSPACES=<My Documents>/velmora-workspaces\n"
      "PATH=<CURRDIR>jre/bin\n"
      "LD_LIBRARY_PATH=<CURRDIR>jre/lib\n"
      "VELMORA_PLUGINS=<CURRDIR>plugins\n"
      "VELMORA_CACHE=<$HOME>/.velmora-cache\n"
      "VELMORA_LOG_LEVEL=info\n"
      "VELMORA_SPLASH=<CURRDIR>splash.png\n";
  FILE* file = fopen(path, "w");
  if (file == NULL) return fail("cannot write", path);
  fputs(kTypical, file);
  return fclose(file) == 0 ? 0 : fail("cannot write", path);
}

int write_scaled_ini(const char* path, long lines) {
  FILE* file = fopen(path, "w");
  if (file == NULL) return fail("cannot write", path);
  long half = lines / 2;
  fputs("[Settings]\n", file);
  for (long i = 1; i < half; ++i) {
    switch (i % 5) {
      case 0: fprintf(file, "VMArgs=-Dvelmora.option%ld=on\n", i); break;
      case 1: fprintf(file, "; option group %ld\n", i); break;
      case 2: fputs("ProductName=Velmora Studio\n", file); break;
      case 3: fprintf(file, "Note%ld=a key that changes nothing\n", i); break;
      default: fputs("\n", file); break;
    }
  }
  fputs("[Environment Variables]\n", file);
  for (long i = half + 1; i < lines; ++i) {
    switch (i % 5) {
      case 0: fprintf(file, "VELMORA_OPTION_%ld=<CURRDIR>plugins/option%ld\n", i, i);
        break;
      case 1: fprintf(file, "; variable group %ld\n", i); break;
      case 2: fputs("=a line without a name\n", file); break;
      case 3: fputs("a line without an equals sign\n", file); break;
      default: fputs("\n", file); break;
    }
  }
  return fclose(file) == 0 ? 0 : fail("cannot write", path);
}

void installation_remove(const struct installation* installation) {
  char velmora[PATH_MAX];
  unlink(installation->target);
  if (join(velmora, installation->root, "velmora") == 0) rmdir(velmora);
  unlink(installation->launcher);
  unlink(installation->peer);
  unlink(installation->floor);
  unlink(installation->ini);
  if (installation->other[0] != '\0') {
    unlink(installation->other);
    unlink(installation->other_ini);
  }
  rmdir(installation->root);
}
