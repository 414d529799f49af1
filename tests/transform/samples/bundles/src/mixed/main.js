import legacy from './legacy.js';
import { encode } from './codec.js';
import config from './config.json';
const parts = [];
for (let i = 0; i < config.rounds; i++) parts.push(legacy.next());
globalThis.answer = parts.join(',') + '|' + encode('hi!') + '|' + config.name + '|mixed-main';
