# Sourced by the scripts and tests that make a throwaway Wine prefix.
#
# remove_wine_prefix PREFIX: ends the prefix's Wine server, removes the server
# folder Wine leaves in /tmp (named after the prefix's device and inode;
# Debian's Wine keeps it in a /tmp/wine-XXXXXX folder of its own, which goes
# too when empty), then the prefix. Only folders of this user are touched.
remove_wine_prefix() {
  local prefix=$1 server_folder parent
  [ -d "$prefix" ] || return 0
  server_folder="server-$(stat -c %D "$prefix")-$(printf %x "$(stat -c %i "$prefix")")"
  WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX=$prefix wineserver -w >/dev/null 2>&1 || true
  for parent in /tmp/wine-* "/tmp/.wine-$(id -u)"; do
    if [ -O "$parent" ] && [ -d "$parent/$server_folder" ]; then
      rm -rf "${parent:?}/$server_folder" || true
      case $parent in /tmp/wine-*) rmdir "$parent" 2>/dev/null || true ;; esac
    fi
  done
  rm -rf "$prefix"
}
