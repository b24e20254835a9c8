// The real player host with the server plug-in and null audio, in a folder of the test's own,
// and raw requests to it: Node's HTTP client refuses the answers' bare-LF header.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';

export const kHeader = 'HTTP/1.0 200 OK\nConnection: close\nExpires: -1\nContent-type: text/html\n\n';

export function freePort() {
  return new Promise((resolve, reject) => {
    const server = net.createServer();
    server.once('error', reject);
    server.listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

// Sends text as it stands and resolves with everything the server wrote before it closed.
export function rawRequest(port, text, timeoutMs = 10000) {
  return new Promise((resolve, reject) => {
    const socket = net.connect(port, '127.0.0.1');
    const chunks = [];
    socket.setTimeout(timeoutMs, () => socket.destroy(new Error(`no answer to ${text.split('\n')[0]}`)));
    socket.on('connect', () => socket.write(text));
    socket.on('data', (chunk) => chunks.push(chunk));
    socket.on('error', reject);
    socket.on('close', () => resolve(Buffer.concat(chunks).toString('latin1')));
  });
}

export async function get(port, target) {
  const answer = await rawRequest(port, `GET ${target} HTTP/1.0\r\n\r\n`);
  if (!answer.startsWith(kHeader)) throw new Error(`unexpected answer to ${target}: ${answer}`);
  return answer.slice(kHeader.length);
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

export class PlayerHost {
  // build: the CMake build folder; music: a folder of sample tracks; ini: extra settings lines;
  // args: more arguments for player_host (--clear, --add FILE).
  constructor(build, music, ini = '', args = []) {
    this.build = build;
    this.music = music;
    this.ini = ini;
    this.args = args;
    this.dir = fs.mkdtempSync(path.join(os.tmpdir(), 'dravo-browser-'));
  }

  get logFile() { return path.join(this.dir, 'plugins', 'gen_dravo_srv.log'); }

  log() {
    try { return fs.readFileSync(this.logFile, 'latin1'); } catch { return ''; }
  }

  async start() {
    const plugins = path.join(this.dir, 'plugins');
    fs.mkdirSync(plugins, { recursive: true });
    fs.copyFileSync(path.join(this.build, 'bin', 'plugins', 'gen_dravo_srv.so'),
                    path.join(plugins, 'gen_dravo_srv.so'));
    // Another program may take the free port before the host binds it: then try another.
    const port = this.port;  // a restart keeps the port the page knows
    for (let attempt = 0; attempt < 3; ++attempt) {
      this.port = port && attempt === 0 ? port : await freePort();
      fs.writeFileSync(path.join(plugins, 'gen_dravo_srv.ini'),
        `[Settings]\r\nport=${this.port}\r\nmedia_root=${this.music}/\r\nannounce=off\r\n${this.ini}`);
      this.stderr = '';
      this.process = spawn(path.join(this.build, 'bin', 'player_host'),
        ['--plugins', plugins, '--audio-output', 'null', '--state-dir', path.join(this.dir, 'state'), ...this.args],
        { cwd: this.dir, env: { ...process.env, TMP: this.dir }, stdio: ['ignore', 'ignore', 'pipe'] });
      this.process.stderr.on('data', (d) => { this.stderr += d; });
      if (await this.listening()) return;
      await this.stop();
    }
    throw new Error(`player_host did not listen: ${this.stderr}`);
  }

  async listening() {
    for (let i = 0; i < 150; ++i) {
      if (this.stderr.includes('socket.Listen() failed')) return false;
      try {
        await get(this.port, '/version');
        return true;
      } catch { await sleep(100); }
    }
    return false;
  }

  async stop() {
    if (!this.process || this.process.exitCode !== null) return;
    const ended = new Promise((resolve) => this.process.once('exit', resolve));
    this.process.kill('SIGTERM');
    await Promise.race([ended, sleep(5000)]);
    if (this.process.exitCode === null) this.process.kill('SIGKILL');
  }

  // Everything a command of a foreign page could change.
  async state() {
    const state = {};
    for (const target of ['/status', '/get_volume', '/get_repeat', '/get_shuffle', '/get_playing',
                          '/get_filter', '/title', '/list'])
      state[target] = await get(this.port, target);
    return state;
  }
}
