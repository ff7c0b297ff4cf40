#!/usr/bin/env bash
# Real peers for the HTTP client's tests and benchmark: an nginx serving static
# files and redirects, and a tinyproxy in front of it. Both run as the current
# user, on 127.0.0.1 only, each on a free port, with their configuration, pid
# file, logs and files inside the given folder; nothing is installed or left
# running as a service.
#
#   peers.sh start DIR [LARGE_MIB [SITE]]  start both; DIR/nginx/port, DIR/proxy/port
#                                          name the ports, DIR/nginx/root the files
#   peers.sh stop DIR                      stop both and remove DIR
#
# SITE is a file of further nginx directives for the server, which may use the
# echo module that nginx-light brings.
set -euo pipefail

usage='usage: peers.sh start|stop DIR [LARGE_MIB [SITE]]'
command=${1:?$usage}
dir=${2:?$usage}
large_mib=${3:-32}
site=${4:-}
echo_module=/usr/share/nginx/modules/ngx_http_echo_module.so

nginx_config() {
  local home=$1 port=$2 include=
  if [ -n "$site" ]; then
    echo "load_module $echo_module;"
    include="include \"$site\";"
  fi
  cat <<CONF
daemon off;
master_process off;
worker_processes 1;
pid $home/nginx.pid;
error_log $home/error.log warn;
events { worker_connections 64; }
http {
  access_log $home/access.log;
  client_body_temp_path $home/tmp/body;
  proxy_temp_path $home/tmp/proxy;
  fastcgi_temp_path $home/tmp/fastcgi;
  uwsgi_temp_path $home/tmp/uwsgi;
  scgi_temp_path $home/tmp/scgi;
  types { text/plain txt; }
  default_type application/octet-stream;
  sendfile on;
  server {
    listen 127.0.0.1:$port;
    root $home/root;
    location = /moved { absolute_redirect off; return 301 /hello.txt; }
    location = /found { return 302 http://127.0.0.1:$port/hello.txt; }
    location = /loop { return 302 /loop; }
    location = /via { return 200 "via=\$http_via"; }
    $include
  }
}
CONF
}

proxy_config() {
  local home=$1 port=$2
  cat <<CONF
Port $port
Listen 127.0.0.1
Timeout 60
PidFile "$home/tinyproxy.pid"
LogLevel Info
MaxClients 16
Allow 127.0.0.1
ViaProxyName "quorvex-test-proxy"
CONF
  if [ "$(id -u)" -eq 0 ]; then
    # tinyproxy will not keep root. Without a LogFile it logs to the output
    # opened here, so the unprivileged user needs no access to this folder.
    printf 'User nobody\nGroup nogroup\n'
  fi
}

# Starts "$@" in the background until it answers on its port; retries on
# another port when the port was taken. Writes HOME/port and HOME/pid.
start_on_free_port() {
  local home=$1 configure=$2 probe=$3
  shift 3
  for _ in $(seq 1 20); do
    local port=$((20000 + RANDOM % 40000))
    "$configure" "$home" "$port" >"$home/config"
    "$@" </dev/null >"$home/stdout.log" 2>&1 &
    local pid=$!
    for _ in $(seq 1 50); do
      if ! kill -0 "$pid" 2>/dev/null; then break; fi
      if "$probe" "$port"; then
        echo "$port" >"$home/port"
        echo "$pid" >"$home/pid"
        return 0
      fi
      sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  echo "peers.sh: could not start $1" >&2
  cat "$home/stdout.log" >&2 || true
  return 1
}

nginx_answers() { curl -sf -o /dev/null "http://127.0.0.1:$1/hello.txt"; }
proxy_answers() { curl -s -o /dev/null "http://127.0.0.1:$1/" --max-time 1; }

stop_peer() {
  local home=$1
  [ -f "$home/pid" ] || return 0
  local pid
  pid=$(cat "$home/pid")
  kill "$pid" 2>/dev/null || true
  for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
}

case $command in
start)
  rm -rf "$dir"
  mkdir -p "$dir/nginx/root" "$dir/nginx/tmp" "$dir/proxy"
  printf 'Hello from nginx.\r\n' >"$dir/nginx/root/hello.txt"
  head -c "$((large_mib * 1024 * 1024))" /dev/urandom >"$dir/nginx/root/large.bin"
  start_on_free_port "$dir/nginx" nginx_config nginx_answers \
    nginx -p "$dir/nginx" -c "$dir/nginx/config" -e "$dir/nginx/error.log"
  start_on_free_port "$dir/proxy" proxy_config proxy_answers tinyproxy -d -c "$dir/proxy/config" || {
    stop_peer "$dir/nginx"
    exit 1
  }
  ;;
stop)
  stop_peer "$dir/proxy"
  stop_peer "$dir/nginx"
  rm -rf "$dir"
  ;;
*)
  echo "$usage" >&2
  exit 2
  ;;
esac
